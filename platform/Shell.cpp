#include "platform/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace dw {

namespace {
ShellOpenHandler g_handler;
}

void ShellExecuteOpen(QWidget*, const QString& address)
{
    if (g_handler) {
        g_handler(address);
        return;
    }
    QDesktopServices::openUrl(QUrl(address));
}

void SetShellOpenHandler(ShellOpenHandler handler)
{
    g_handler = std::move(handler);
}

} // namespace dw
