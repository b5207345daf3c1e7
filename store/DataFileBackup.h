#pragma once

#include "store/DataFileReport.h"

#include <QString>

// Copies the file at path to the first free name of path.bak, path.bak2,
// path.bak3, ... The copy is complete or absent. Returns the copy's path, or an
// empty string when the file could not be read or the copy not written; then
// systemError (when given) holds the system's error number, 0 when none is known.
QString CopyToFreeBackupName(const QString& path, int* systemError = nullptr);

// The system's error number for why the file at path cannot be read; 0 when it can.
int ReadError(const QString& path);

// Keeps a file that could not be read wholly from being replaced before a copy
// of it exists: the load copies it aside, and while that fails, every save
// tries again and is held back until it succeeds.
class UnreadableGuard
{
public:
    // After a load that could not read the file of failure.path: copies it aside.
    void KeepUnreadable(IDataFileReport::LoadFailure& failure);
    // Whether a save may replace the file at path now; one held back is copied
    // aside first where it can be, and the report is told either way.
    bool MayReplace(const QString& path, IDataFileReport* report);

private:
    bool m_guarded = false;
};
