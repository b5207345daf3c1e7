#pragma once

#include <QString>

// What the data file tells whoever runs it. The data file itself never talks to
// the user: the program's window turns these into messages, a tool may ignore them.
class IDataFileReport
{
public:
    virtual ~IDataFileReport() = default;

    // The file exists but could not be read completely. By the time this is
    // reported the file has been copied to backupPath, or could not be
    // (backupPath empty): then saves leave the file alone until a copy can be made.
    struct LoadFailure
    {
        QString path;
        int openError = 0;  // the system's error number when the file could not be opened
        QString readError;  // the reader's message when reading stopped early
        QString backupPath; // where the file was copied
        int copyError = 0;  // why it could not be copied, 0 when not known
    };
    virtual void LoadFailed(const LoadFailure& failure) = 0;

    enum class SaveProblem
    {
        CannotCreate, // the new file could not be made or put in place
        WriteError,   // writing failed (full disk ...); errorText says how
        HeldBack,     // the unreadable file still cannot be copied, so it is not replaced
    };
    struct SaveFailure
    {
        SaveProblem problem = SaveProblem::CannotCreate;
        QString path;
        QString errorText; // the write error's message
        int systemError = 0;
    };
    // The file on disk is what it was before the save.
    virtual void SaveFailed(const SaveFailure& failure) = 0;
    // A file that could not be read at the start has now been copied to backupPath.
    virtual void CopyKept(const QString& backupPath) = 0;
};
