#pragma once

#include "store/CalendarGrid.h"
#include "store/DataFileBackup.h"
#include "store/DataFileReport.h"
#include "store/FileStamp.h"
#include "store/StoredSettings.h"

#include <QString>

#include <functional>
#include <memory>

class QIODevice;

// The data file of a data folder (which ends in the platform's separator).
QString DataFilePath(const QString& dataFolder);

// How a read of the file alone went.
struct TerminsFileRead
{
    enum class Outcome
    {
        Missing, // the grid is as it was
        Complete,
        CannotOpen,
        OutOfMemory, // a record or text could not be allocated (reported as containers report it)
        Damaged,     // the file ended early or its device failed
    };
    Outcome outcome = Outcome::Missing;
    int openError = 0; // CannotOpen: the system's error number
    QString readError; // Damaged: the reader's message
    bool settingsRead = false;
    StoredSettings settings;
};

// Reads the file into the grid, replacing what it held, and does nothing else:
// no copy of a damaged file, no report. The days read keep what was read.
TerminsFileRead ReadTerminsFile(const QString& path, CalendarGrid& grid);

// termine.dat: the whole grid and the settings. What goes wrong is told to the
// report given at construction (nothing when none is given); nothing throws out of it.
//
// A save replaces the file only when every byte was written, and not at all
// when it would write the very bytes of the last save while the file on disk is
// still that save. A file that could not be read completely is copied aside
// before anything can replace it; when even that copy fails, saves leave the
// file alone until it can be copied.
class DataFile
{
public:
    explicit DataFile(QString path, IDataFileReport* report = nullptr);
    const QString& path() const { return m_path; }

    // Removes what a save killed in an earlier run left beside the file.
    void RemoveLeftovers() const;

    // Writes the whole file (or finds it already written); the old file is
    // replaced only when every byte was written. False when the save failed.
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
    // completely is copied aside before the failure is reported.
    LoadResult OpenTermins(CalendarGrid& grid);

    // Tests put a device between the writer and the new file, to fail a save in
    // the middle or to count the writes. The filter gets the file's device and
    // returns the one to write to (nullptr: the file's own).
    using WriteFilter = std::function<std::unique_ptr<QIODevice>(QIODevice* file)>;
    void setWriteFilter(WriteFilter filter) { m_writeFilter = std::move(filter); }

private:
    bool WriteFile(const CalendarGrid& grid, const StoredSettings& settings);
    bool AlreadyOnDisk(const CalendarGrid& grid, const StoredSettings& settings) const;
    void SaveFailed(IDataFileReport::SaveProblem problem, const QString& errorText = {}, int systemError = 0);

    QString m_path;
    IDataFileReport* m_report;
    WriteFilter m_writeFilter;
    // The file the last successful save made. While it stands untouched, its
    // bytes are the last save's, and a save compares with them before writing.
    FileStamp m_lastSave;
    UnreadableGuard m_unreadable;
};
