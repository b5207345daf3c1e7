#pragma once

#include <QString>

namespace dw {

// Full path of the running program file.
QString ModuleFileName();
// Tests pretend the program lives elsewhere; an empty path restores the real one.
void SetModuleFileNameForTesting(const QString& path);

} // namespace dw
