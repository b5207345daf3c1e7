#include "platform/WaylandAttention.h"

#include "platform/WindowSystem.h"
#include "xdg-activation-v1-client-protocol.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstring>
#include <wayland-client.h>

namespace dw {

namespace {

// A compositor that has not answered by then will not.
constexpr int GiveUpMs = 10000;

// One token, asked for on a connection of its own: Qt 6.4 offers no public way
// to its own, and a token is a plain string that any client may hand on.
class AttentionRequest : public QObject
{
public:
    explicit AttentionRequest(QWidget* window);
    ~AttentionRequest() override;

    // What the compositor sends, on this connection only.
    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
    static void globalRemoved(void*, wl_registry*, uint32_t) {}
    static void globalsListed(void* data, wl_callback* callback, uint32_t);
    static void tokenDone(void* data, xdg_activation_token_v1* token, const char* text);

private:
    void readEvents();
    void end();
    void activateWhenMapped();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPointer<QWidget> m_window;
    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_callback* m_listed = nullptr;
    xdg_activation_v1* m_activation = nullptr;
    xdg_activation_token_v1* m_token = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    QString m_text;
};

const wl_registry_listener RegistryListener = {&AttentionRequest::global, &AttentionRequest::globalRemoved};
const wl_callback_listener ListedListener = {&AttentionRequest::globalsListed};
const xdg_activation_token_v1_listener TokenListener = {&AttentionRequest::tokenDone};

AttentionRequest::AttentionRequest(QWidget* window) : QObject(window), m_window(window)
{
    QTimer::singleShot(GiveUpMs, this, &AttentionRequest::end);
    m_display = wl_display_connect(nullptr);
    if (!m_display) {
        end();
        return;
    }
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &RegistryListener, this);
    // Answered once the compositor has named all its globals.
    m_listed = wl_display_sync(m_display);
    wl_callback_add_listener(m_listed, &ListedListener, this);
    wl_display_flush(m_display);
    m_notifier = new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &AttentionRequest::readEvents);
}

AttentionRequest::~AttentionRequest()
{
    if (m_token)
        xdg_activation_token_v1_destroy(m_token);
    if (m_activation)
        xdg_activation_v1_destroy(m_activation);
    if (m_listed)
        wl_callback_destroy(m_listed);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display)
        wl_display_disconnect(m_display);
}

void AttentionRequest::global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                              uint32_t)
{
    auto* self = static_cast<AttentionRequest*>(data);
    if (!self->m_activation && std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        self->m_activation = static_cast<xdg_activation_v1*>(
            wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}

void AttentionRequest::globalsListed(void* data, wl_callback* callback, uint32_t)
{
    auto* self = static_cast<AttentionRequest*>(data);
    wl_callback_destroy(callback);
    self->m_listed = nullptr;
    if (!self->m_activation) {
        self->end();
        return;
    }
    self->m_token = xdg_activation_v1_get_activation_token(self->m_activation);
    xdg_activation_token_v1_add_listener(self->m_token, &TokenListener, self);
    xdg_activation_token_v1_commit(self->m_token);
}

void AttentionRequest::tokenDone(void* data, xdg_activation_token_v1*, const char* text)
{
    auto* self = static_cast<AttentionRequest*>(data);
    self->m_text = QString::fromUtf8(text);
    self->activateWhenMapped();
}

void AttentionRequest::readEvents()
{
    while (wl_display_prepare_read(m_display) != 0)
        wl_display_dispatch_pending(m_display);
    // The socket reads without blocking; an error means the compositor is gone.
    if (wl_display_read_events(m_display) < 0 || wl_display_dispatch_pending(m_display) < 0) {
        end();
        return;
    }
    wl_display_flush(m_display);
}

void AttentionRequest::end()
{
    if (m_notifier)
        m_notifier->setEnabled(false);
    deleteLater();
}

void AttentionRequest::activateWhenMapped()
{
    QWindow* handle = m_window && m_window->isVisible() ? m_window->windowHandle() : nullptr;
    if (!handle) {
        end();
    } else if (handle->isExposed()) {
        ActivateWindowWithToken(m_window, m_text);
        end();
    } else {
        handle->installEventFilter(this);
    }
}

bool AttentionRequest::eventFilter(QObject* watched, QEvent* event)
{
    // The window draws its first frame while this event is handled: the
    // request goes after it, so the compositor shows the window by then.
    if (event->type() == QEvent::Expose) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, &AttentionRequest::activateWhenMapped);
    }
    return false;
}

} // namespace

void RequestAttention(QWidget* window)
{
    // The real platform, not one a test plays: this opens a real connection.
    if (window && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        new AttentionRequest(window);
}

} // namespace dw
