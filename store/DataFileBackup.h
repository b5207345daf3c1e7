#pragma once

#include <QString>

// Copies the file at path to the first free name of path.bak, path.bak2,
// path.bak3, ... The copy is complete or absent. Returns the copy's path, or an
// empty string when the file could not be read or the copy not written; then
// systemError (when given) holds the system's error number, 0 when none is known.
QString CopyToFreeBackupName(const QString& path, int* systemError = nullptr);

// The system's error number for why the file at path cannot be read; 0 when it can.
int ReadError(const QString& path);
