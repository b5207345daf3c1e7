#include "platform/MessageBox.h"

#include <QCoreApplication>

#include <cstdio>

namespace dw {

namespace {
MessageBoxHandler g_handler;
}

QString DefaultMessageBoxCaption()
{
    return QCoreApplication::translate("MessageBox", "Fehler");
}

int MessageBoxA(const QString& text, const QString& caption, unsigned flags)
{
    const QString shown = caption.isEmpty() ? DefaultMessageBoxCaption() : caption;
    if (g_handler)
        return g_handler(text, shown, flags);
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(shown), qUtf8Printable(text));
    return mrOk;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    MessageBoxHandler previous = std::move(g_handler);
    g_handler = std::move(handler);
    return previous;
}

QString ErrorBoxText(const std::exception& error)
{
    return ErrorBoxText(QString::fromUtf8(error.what()));
}

QString ErrorBoxText(QString text)
{
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

void ShowException(const std::exception& error)
{
    MessageBoxA(ErrorBoxText(error), QString::fromLatin1(ApplicationTitle), MB_OK | MB_ICONERROR);
}

} // namespace dw
