#pragma once

#include "store/CalendarGrid.h"
#include "store/StoredSettings.h"

#include <QString>

#include <functional>
#include <memory>

class QIODevice;

// termine.dat: the whole grid and the settings. Failures are shown to the user
// here (message boxes and the standard error box); nothing throws out of it.
//
// A save replaces the file only when every byte was written. A file that could
// not be read completely is copied aside before anything can replace it; when
// even that copy fails, saves leave the file alone until it can be copied.
class DataFile
{
public:
    // Removes what a save killed in an earlier run left beside the file.
    explicit DataFile(QString path);
    const QString& path() const { return m_path; }

    // Writes the whole file; the old file is replaced only when every byte was
    // written. False when the save failed (the user has been told), or at once
    // and silently while the message of a failed save is still open.
    bool SaveTermins(const CalendarGrid& grid, const StoredSettings& settings);

    struct LoadResult
    {
        bool fileExisted = false;  // false: nothing was loaded, nothing reported
        bool settingsRead = false; // apply `settings` through the settings controls
        StoredSettings settings;
        bool complete = false; // the whole file was read
        QString backupPath;    // where an unreadable file was copied, if it was
    };
    // Replaces the grid with the file's contents. A file that cannot be read
    // completely is copied aside first and the user is told.
    LoadResult OpenTermins(CalendarGrid& grid);

    // Tests put a device between the writer and the new file, to fail a save in
    // the middle. The filter gets the file's device and returns the one to write to.
    using WriteFilter = std::function<std::unique_ptr<QIODevice>(QIODevice* file)>;
    void setWriteFilter(WriteFilter filter) { m_writeFilter = std::move(filter); }

    static inline const char* const CannotCreateText = "Fehler: Konnte Datei nicht erzeugen!";
    static inline const char* const CannotOpenText = "Fehler: Konnte Datei nicht öffnen!";

private:
    bool WriteFile(const CalendarGrid& grid, const StoredSettings& settings);
    bool MayReplace();
    void KeepUnreadable(LoadResult& result);

    QString m_path;
    WriteFilter m_writeFilter;
};
