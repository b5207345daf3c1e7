#include "platform/WindowSystem.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace dw {

namespace {

QString& PlatformNameForTesting()
{
    static QString name;
    return name;
}

// Under X11 a launcher's startup id names the launch (its busy pointer lasts until
// the program says it is up) and ends in the time of the user's click, which the
// window manager weighs against stealing the focus. Qt's X11 plugin reads
// DESKTOP_STARTUP_ID only when it connects, so the running copy completes a later
// start's launch itself: the id on its window, an activation at the click's time,
// and the launch's "remove" message.
void ActivateWithStartupId(QWidget* window, const QByteArray& id)
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    const auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return found;
    };
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto client = static_cast<xcb_window_t>(window->winId());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, client, atom("_NET_STARTUP_ID"), atom("UTF8_STRING"), 8,
                        static_cast<uint32_t>(id.size()), id.constData());
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    bool timed = false;
    const uint32_t time = id.mid(id.lastIndexOf("_TIME") + 5).toUInt(&timed);
    if (id.contains("_TIME") && timed) {
        message.format = 32;
        message.window = client;
        message.type = atom("_NET_ACTIVE_WINDOW");
        message.data.data32[0] = 1; // asked by an application
        message.data.data32[1] = time;
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
    }
    const QByteArray remove = "remove: ID=" + id + '\0';
    message.format = 8;
    message.window = root;
    for (qsizetype at = 0; at < remove.size(); at += 20) {
        message.type = atom(at == 0 ? "_NET_STARTUP_INFO_BEGIN" : "_NET_STARTUP_INFO");
        std::memset(message.data.data8, 0, sizeof message.data.data8);
        std::memcpy(message.data.data8, remove.constData() + at, std::min<qsizetype>(20, remove.size() - at));
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&message));
    }
    xcb_flush(c);
}

} // namespace

bool ProgramControlsWindows()
{
    const QString& played = PlatformNameForTesting();
    const QString name = played.isEmpty() ? QGuiApplication::platformName() : played;
    // "wayland", "wayland-egl" and the other variants of Qt's Wayland plugin.
    return !name.startsWith(QLatin1String("wayland"));
}

void SetPlatformNameForTesting(const QString& name)
{
    PlatformNameForTesting() = name;
}

QString LaunchActivationToken()
{
    const QString wayland = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    return wayland.isEmpty() ? qEnvironmentVariable("DESKTOP_STARTUP_ID") : wayland;
}

QString UsableActivationToken(const QString& token)
{
    constexpr qsizetype Longest = 512;
    if (token.size() > Longest)
        return QString();
    // Nor quotes and backslashes, which the X11 launch's messages would have to escape.
    for (QChar c : token)
        if (c.unicode() <= u' ' || c.unicode() > u'~' || c == u'"' || c == u'\\')
            return QString();
    return token;
}

void ActivateWindowWithToken(QWidget* window, const QString& token)
{
    const bool handOver = !ProgramControlsWindows() && !token.isEmpty();
    if (handOver)
        qputenv("XDG_ACTIVATION_TOKEN", token.toLatin1());
    window->activateWindow();
    // Not left for a program the user starts from here, nor for the next activation.
    if (handOver)
        qunsetenv("XDG_ACTIVATION_TOKEN");
    else if (!token.isEmpty())
        ActivateWithStartupId(window, token.toLatin1());
}

} // namespace dw
