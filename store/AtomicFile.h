#pragma once

#include "store/FileStamp.h"

#include <QFile>
#include <QString>

class QIODevice;

// Writes a file beside its target and puts it in the target's place only once
// every byte is on disk, so a failure or a crash leaves the old file whole.
// Each write must be checked for its full byte count by the caller (a short
// write on a full disk sets no error of its own).
//
// The new file is named <target>.~datumswecker-XXXXXX.tmp: a name no person
// gives a file, so that the leftovers of a killed save can be told from the
// user's own files beside the target.
class AtomicFile
{
public:
    explicit AtomicFile(const QString& path);
    // Discards the new contents unless committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False when the new file cannot be created.
    bool open();
    QIODevice* device() { return &m_file; }
    // Syncs the data, replaces the target and syncs the folder so the new name
    // survives a power cut. Raises dw::EInOutError when the data could not be
    // made durable; returns false when the target could not be replaced.
    bool commit();
    void cancel();
    // The file as it stands after a successful commit.
    const FileStamp& stamp() const { return m_stamp; }

    // Removes what a killed save left beside path: only files named as open()
    // names them, for path and its backups. Nothing else is ever removed.
    static void RemoveLeftovers(const QString& path);

private:
    QString m_target; // with symbolic links followed, as the replacement must go there
    QString m_temporary;
    QFile m_file;
    FileStamp m_stamp;
};
