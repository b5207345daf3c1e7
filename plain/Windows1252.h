#pragma once

#include <string>
#include <string_view>

namespace dw {

// Appends the Windows-1252 bytes as UTF-8. Bytes the code page leaves
// undefined become the C1 controls of the same number, so every byte survives.
void AppendUtf8FromAnsi(std::string& out, std::string_view ansi);

} // namespace dw
