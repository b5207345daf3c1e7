#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace dw {

// Asks the desktop to "open" an address in the default browser. The result is not reported.
void ShellExecuteOpen(QWidget* parent, const QString& address);

// Tests see what would be opened instead of starting a browser; empty restores the desktop.
using ShellOpenHandler = std::function<void(const QString& address)>;
void SetShellOpenHandler(ShellOpenHandler handler);

// The maker's home page.
inline constexpr const char* HomePageAddress = "https://www.norvex.example/";
inline constexpr const char* HomePageHost = "www.norvex.example";

} // namespace dw
