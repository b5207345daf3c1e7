#pragma once

#include "series/SeriesSet.h"
#include "store/DataFile.h"
#include "store/DataFileBackup.h"
#include "store/FileStamp.h"

#include <QString>

#include <functional>
#include <memory>

class QIODevice;

// The series file of a data folder, beside termine.dat.
QString SeriesFilePath(const QString& dataFolder);

// datumswecker-serien.ics, kept as safely as termine.dat: a save replaces the
// file only when every byte was written (the same atomic writer), a file that
// cannot be read wholly is copied aside before anything can replace it, and
// what goes wrong is told to the report as the data file tells it.
class SeriesFile
{
public:
    explicit SeriesFile(QString path, IDataFileReport* report = nullptr);
    const QString& path() const { return m_path; }

    // Removes what a save killed in an earlier run left beside the file.
    void RemoveLeftovers() const;

    struct LoadResult
    {
        bool fileExisted = false;
        bool complete = true;
        QString backupPath; // where an unreadable file was copied
    };
    // Replaces the set with the file's series; what could be read is kept.
    LoadResult Load(dw::series::SeriesSet& set);

    // The series changed since the last save: the next save writes them.
    void MarkChanged() { m_changed = true; }
    bool Changed() const { return m_changed; }
    // Writes the set when it changed since the last save or the file is no
    // longer the one that save made. False when the save failed.
    bool Save(const dw::series::SeriesSet& set);

    // Tests put a device between the writer and the new file (see DataFile).
    void setWriteFilter(DataFile::WriteFilter filter) { m_writeFilter = std::move(filter); }

private:
    void SaveFailed(IDataFileReport::SaveProblem problem, const QString& errorText = {}, int systemError = 0);

    QString m_path;
    IDataFileReport* m_report;
    DataFile::WriteFilter m_writeFilter;
    FileStamp m_lastSave;
    bool m_changed = false;
    UnreadableGuard m_unreadable;
};
