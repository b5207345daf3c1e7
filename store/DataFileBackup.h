#pragma once

#include <QString>

// Copies the file at path to the first free name of path.bak, path.bak2,
// path.bak3, ... The copy is complete or absent. Returns the copy's path, or an
// empty string when the file could not be read or the copy not written.
QString CopyToFreeBackupName(const QString& path);
