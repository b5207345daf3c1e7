#include "SyncSide.h"

#include "platform/Ansi.h"
#include "platform/DateTime.h"
#include "sync/NetLoader.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace dwtest {

namespace {

// The plugin's transport, with a moment before each request in which the test may act.
class Interleaved : public dw::sync::Transport
{
public:
    Interleaved(dw::sync::Transport* real, const std::function<void(const dw::sync::HttpRequest&)>& before)
        : m_real(real), m_before(before)
    {
    }
    void setCredentials(const QString& user, const QString& password) override
    {
        m_real->setCredentials(user, password);
    }
    void send(const dw::sync::HttpRequest& request,
              std::function<void(const dw::sync::HttpReply&)> done) override
    {
        if (m_before)
            m_before(request);
        m_real->send(request, std::move(done));
    }
    void cancelAll() override { m_real->cancelAll(); }
    void setOrigin(const QUrl& origin) override { m_real->setOrigin(origin); }
    void trustCertificate(const QByteArray& sha256) override { m_real->trustCertificate(sha256); }

private:
    std::unique_ptr<dw::sync::Transport> m_real;
    const std::function<void(const dw::sync::HttpRequest&)>& m_before;
};

} // namespace

SyncSide::SyncSide(const RadicaleServer& server, const QString& url)
    : m_server(server), m_url(url.isEmpty() ? server.calendarUrl() : url),
      m_password(QString::fromLatin1(RadicaleServer::Password))
{
    m_core = std::make_unique<AppCore>();
    m_core->Open(m_dir.path() + QLatin1Char('/'));
    makeEngine();
}

SyncSide::~SyncSide()
{
    m_engine.reset();
    m_core->Close();
}

void SyncSide::makeEngine()
{
    QString error;
    const dw::sync::NetPlugin* plugin = dw::sync::LoadNetPlugin(error, {QStringLiteral(DW_BINARY_DIR)});
    EXPECT_NE(plugin, nullptr) << error.toStdString();
    m_engine = std::make_unique<dw::sync::SyncEngine>(
        m_core->grid(), m_core->dataFolder(),
        std::make_unique<Interleaved>(plugin->newTransport(30000), beforeSend));
    m_engine->saveStore = [this] { return m_core->SaveTermins(); };
    m_engine->setAccount({QUrl(m_url), QString::fromLatin1(RadicaleServer::User), m_password});
}

void SyncSide::setPassword(const QString& password)
{
    m_password = password;
    m_engine->setAccount({QUrl(m_url), QString::fromLatin1(RadicaleServer::User), m_password});
}

dw::sync::SyncReport SyncSide::sync()
{
    QSignalSpy done(m_engine.get(), &dw::sync::SyncEngine::finished);
    m_engine->start();
    if (done.isEmpty() && !done.wait(60000)) {
        ADD_FAILURE() << "the sync did not end";
        m_engine->cancel();
        return {};
    }
    return done.first().first().value<dw::sync::SyncReport>();
}

void SyncSide::restart(bool save)
{
    m_engine.reset();
    if (save)
        m_core->Close();
    m_core = std::make_unique<AppCore>();
    m_core->Open(m_dir.path() + QLatin1Char('/'));
    makeEngine();
}

void SyncSide::add(int y, int m, int d, int hour, const QByteArray& name)
{
    Appointment* a = m_core->grid().NewAppointment(y, m, d);
    ReplaceText(a->Name, name);
    a->TimeOfDay = dw::EncodeTime(hour, 0);
}

QStringList SyncSide::day(int y, int m, int d) const
{
    QStringList out;
    const DayList& list = m_core->grid().Day(y, m, d);
    for (std::uint32_t i = 0; i < list.count(); ++i) {
        const Appointment& a = *list.at(static_cast<std::int32_t>(i));
        int h = 0, min = 0, s = 0, ms = 0;
        dw::DecodeTime(a.TimeOfDay, h, min, s, ms);
        out << QStringLiteral("%1:%2 %3")
                   .arg(h, 2, 10, QLatin1Char('0'))
                   .arg(min, 2, 10, QLatin1Char('0'))
                   .arg(dw::FromAnsi(a.Name));
    }
    return out;
}

Appointment* SyncSide::at(int y, int m, int d, int index)
{
    return m_core->grid().Day(y, m, d).at(index);
}

int SyncSide::total() const
{
    int n = 0;
    for (int y = CalendarGrid::FirstYear; y <= CalendarGrid::LastYear; ++y)
        n += static_cast<int>(m_core->grid().YearCount(y));
    return n;
}

} // namespace dwtest
