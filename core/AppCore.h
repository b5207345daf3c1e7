#pragma once

#include "core/CheckInterval.h"
#include "core/ReminderCheck.h"
#include "ical/CalendarImport.h"
#include "messages/DataFileMessages.h"
#include "platform/WindowTimer.h"
#include "series/SeriesFile.h"
#include "series/SeriesSet.h"
#include "store/CalendarGrid.h"
#include "store/DataFile.h"
#include "store/StoredSettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSettings>
#include <QString>

#include <memory>

// The program's own settings file of a data folder.
QString ProgramSettingsPath(const QString& dataFolder);

// What the program is, under its windows: the calendar grid and its data file,
// the stored settings, when to save (the save timer), the check pass and when it
// runs (the check timer), the import, and the end of the run with its status.
// The windows bind their controls to it; a test drives it without a screen.
class AppCore : public QObject
{
    Q_OBJECT
public:
    explicit AppCore(QObject* parent = nullptr);
    ~AppCore() override;

    // Builds the grid for the data folder and loads its data file when there is
    // one; loaded settings take effect as a change of each would, in the order
    // minutes, seconds, start minimised.
    void Open(const QString& dataFolder);
    // Stops the save timer, saves, and frees the grid. A failed save while
    // unattended is told through endSaveFailed.
    void Close();

    CalendarGrid& grid() { return m_grid; }
    const QString& dataFolder() const { return m_dataFolder; }
    QString dataFilePath() const { return DataFilePath(m_dataFolder); }
    DataFile& dataFile() const { return *m_dataFile; }
    DataFileMessages& messages() { return m_messages; }
    // What termine.dat does not keep (notifications, a sync account): an INI file
    // of the program's own in the data folder, written only once something is set.
    QSettings& programSettings() { return *m_programSettings; }
    // Whether each reminder is mirrored by a desktop notification: on until the
    // user turns it off, which is the one thing written to the settings file.
    bool NotificationsOn() const;
    void setNotificationsOn(bool on);

    // The save timer (a tick saves) and the check timer (a tick checks).
    dw::WindowTimer* Timer1() const { return m_saveTimer; }
    dw::WindowTimer* Timer2() const { return m_checkTimer; }

    const StoredSettings& settings() const { return m_settings; }
    // Each is a change of the setting: it takes effect at once and restarts the save timer.
    void setCheckInterval(int minutes, int seconds);
    void setStartMinimised(bool startMinimised);

    // An edit was made: it is saved a second after the last one.
    void RestartSaveTimer() { m_saveTimer->restart(); }

    // The repeating appointments, kept beside termine.dat in their own file.
    dw::series::SeriesSet& series() { return m_series; }
    QString seriesFilePath() const { return SeriesFilePath(m_dataFolder); }
    // The series changed (the windows, the check pass): the next save writes them.
    void SeriesChanged()
    {
        if (m_seriesFile)
            m_seriesFile->MarkChanged();
    }
    // False when the save failed or is held back while its failure is being told.
    bool SaveTermins();

    void setReminderDialog(IReminderDialog* dialog);
    void CheckTermins();
    // The machine woke: what fell due while it slept is checked at once, and the
    // check interval counts from then. Nothing while the check timer is silent.
    void Woke();
    // The check timer stands still while the machine sleeps, so the clocks are
    // compared now and then; a wall clock that ran far ahead means a wake-up no
    // one announced (no logind, a paused virtual machine).
    void LookForSleep();
    bool Checking() const { return m_reminderCheck.Checking(); }

    // The windows tell of each appointment they add, change or delete by its id
    // (CalendarGrid::IdOf), so that what follows the appointments (the sync)
    // knows which one it was.
    using Edit = AppointmentEdit;
    void AppointmentEdited(std::uint32_t id, Edit edit) { emit appointmentEdited(id, edit); }
    // Appointments were changed from outside the windows (the sync): the list is filled again.
    void AppointmentsChangedOutside() { emit appointmentsAdded(); }

    // Adds a calendar's appointments and, when any were new, saves at once.
    // Past a bound of the budget nothing is added (the report says why).
    struct Imported
    {
        dw::ical::ImportReport report;
        bool saved = true;
    };
    Imported Import(const dw::ical::ImportedCalendar& calendar, dw::ical::Budget& budget);

    // Set once the program has been told to end; nothing is checked after it.
    bool Terminating() const { return m_terminating; }
    void setTerminating() { m_terminating = true; }
    // Ends the run as "Beenden" does: an open reminder ends as "Alle abbrechen",
    // then every event loop ends. Unattended, no message waits for an answer.
    void End(bool unattended = false);

signals:
    // The loaded settings, for the controls that show them.
    void settingsLoaded(const StoredSettings& settings);
    // Appointments came in from outside the windows (an import).
    void appointmentsAdded();
    void appointmentEdited(std::uint32_t id, AppCore::Edit edit);
    // The last save of a run that ends unattended failed.
    void endSaveFailed();

private:
    void ApplyLoadedSettings(const StoredSettings& loaded);
    void OpenSeries();

    CalendarGrid m_grid;
    QString m_dataFolder;
    DataFileMessages m_messages;
    std::unique_ptr<DataFile> m_dataFile;
    dw::series::SeriesSet m_series;
    DataFileMessages m_seriesMessages;
    std::unique_ptr<SeriesFile> m_seriesFile;
    std::unique_ptr<QSettings> m_programSettings;
    StoredSettings m_settings;
    dw::WindowTimer* m_saveTimer;
    dw::WindowTimer* m_checkTimer;
    ReminderCheck m_reminderCheck;
    IReminderDialog* m_reminderDialog = nullptr;
    bool m_terminating = false;
    QElapsedTimer m_monotonic;
    ClockReading m_lastLook;
};
