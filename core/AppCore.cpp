#include "core/AppCore.h"

#include "platform/Clock.h"
#include "series/IcalHelper.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

namespace {
// Often enough that a wake-up no one announced is checked within a quarter of a
// minute, seldom enough to cost nothing.
constexpr int SleepLookMs = 15000;
} // namespace

QString ProgramSettingsPath(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("datumswecker.ini");
}

namespace {
const QString NotificationsKey = QStringLiteral("notifications/enabled");
} // namespace

AppCore::AppCore(QObject* parent)
    : QObject(parent), m_saveTimer(new dw::WindowTimer(1000, false, this)),
      m_checkTimer(new dw::WindowTimer(30000, true, this)), m_reminderCheck(m_grid)
{
    m_reminderCheck.setSeries(&m_series, [this] { SeriesChanged(); });
    connect(m_saveTimer, &dw::WindowTimer::timeout, this, &AppCore::SaveTermins);
    connect(m_checkTimer, &dw::WindowTimer::timeout, this, &AppCore::CheckTermins);
    m_monotonic.start();
    m_lastLook = {dw::Now(), 0};
    auto* sleepLook = new QTimer(this);
    sleepLook->setTimerType(Qt::VeryCoarseTimer);
    connect(sleepLook, &QTimer::timeout, this, &AppCore::LookForSleep);
    sleepLook->start(SleepLookMs);
}

AppCore::~AppCore() = default;

void AppCore::Open(const QString& dataFolder)
{
    m_dataFolder = dataFolder;
    m_grid.Build();
    m_dataFile = std::make_unique<DataFile>(dataFilePath(), &m_messages);
    m_dataFile->RemoveLeftovers();
    m_programSettings = std::make_unique<QSettings>(ProgramSettingsPath(dataFolder), QSettings::IniFormat);
    OpenSeries();
    if (!QFile::exists(dataFilePath()))
        return;
    const DataFile::LoadResult loaded = m_dataFile->OpenTermins(m_grid);
    if (loaded.settingsRead)
        ApplyLoadedSettings(loaded.settings);
}

void AppCore::OpenSeries()
{
    dw::series::InstallIcalHelper();
    m_seriesFile = std::make_unique<SeriesFile>(seriesFilePath(), &m_seriesMessages);
    m_seriesFile->RemoveLeftovers();
    m_seriesFile->Load(m_series);
}

bool AppCore::NotificationsOn() const
{
    return !m_programSettings || m_programSettings->value(NotificationsKey, true).toBool();
}

void AppCore::setNotificationsOn(bool on)
{
    if (!m_programSettings)
        return;
    m_programSettings->setValue(NotificationsKey, on);
    m_programSettings->sync();
}

void AppCore::ApplyLoadedSettings(const StoredSettings& loaded)
{
    // As the settings page takes them: pulled into range, and a value that
    // differs from the one in force acts as the user's change of it would.
    const StoredSettings s = BoundedSettings(loaded);
    if (s.CheckMinutes != m_settings.CheckMinutes)
        setCheckInterval(s.CheckMinutes, m_settings.CheckSeconds);
    if (s.CheckSeconds != m_settings.CheckSeconds)
        setCheckInterval(m_settings.CheckMinutes, s.CheckSeconds);
    if (s.StartMinimised != m_settings.StartMinimised)
        setStartMinimised(s.StartMinimised);
    emit settingsLoaded(m_settings);
}

void AppCore::Close()
{
    m_saveTimer->setEnabled(false);
    const bool saved = SaveTermins();
    if (!saved && m_messages.unattended())
        emit endSaveFailed();
    m_grid.delall();
    m_series = {};
}

void AppCore::setCheckInterval(int minutes, int seconds)
{
    m_settings.CheckMinutes = minutes;
    m_settings.CheckSeconds = seconds;
    m_checkTimer->setInterval(CheckIntervalMs(minutes, seconds));
    m_saveTimer->restart();
}

void AppCore::setStartMinimised(bool startMinimised)
{
    m_settings.StartMinimised = startMinimised;
    // It takes effect at the next start; saving it is all there is to do now.
    m_saveTimer->restart();
}

bool AppCore::SaveTermins()
{
    // The save timer's ticks do not stack up messages of a failed save.
    if (m_messages.SaveMessageOpen() || m_seriesMessages.SaveMessageOpen())
        return false;
    const bool saved = m_dataFile->SaveTermins(m_grid, m_settings);
    const bool seriesSaved = !m_seriesFile || m_seriesFile->Save(m_series);
    return saved && seriesSaved;
}

void AppCore::setReminderDialog(IReminderDialog* dialog)
{
    m_reminderDialog = dialog;
    m_reminderCheck.setDialog(dialog);
}

void AppCore::CheckTermins()
{
    if (m_terminating)
        return;
    m_reminderCheck.CheckTermins();
}

void AppCore::Woke()
{
    m_lastLook = {dw::Now(), m_monotonic.elapsed()};
    if (m_terminating || !m_checkTimer->isTicking())
        return;
    m_checkTimer->restart();
    CheckTermins();
}

void AppCore::LookForSleep()
{
    const ClockReading now{dw::Now(), m_monotonic.elapsed()};
    if (SleptBetween(m_lastLook, now))
        Woke();
    else
        m_lastLook = now;
}

AppCore::Imported AppCore::Import(const dw::ical::ImportedCalendar& calendar, dw::ical::Budget& budget)
{
    Imported done;
    const std::size_t seriesBefore = m_series.size();
    done.report = dw::ical::ImportInto(m_grid, m_series, calendar, budget);
    if (done.report.added == 0 && done.report.addedSeries == 0)
        return done;
    if (m_series.size() != seriesBefore)
        SeriesChanged();
    emit appointmentsAdded();
    done.saved = SaveTermins();
    return done;
}

void AppCore::End(bool unattended)
{
    if (unattended) {
        m_messages.setUnattended(true);
        m_seriesMessages.setUnattended(true);
    }
    if (m_terminating)
        return;
    m_terminating = true;
    if (m_reminderDialog)
        m_reminderDialog->CancelReminder();
    // exit, not quit: quit does nothing before the main loop runs, and a signal
    // may come while a start-up message has its own loop.
    QCoreApplication::exit(0);
}
