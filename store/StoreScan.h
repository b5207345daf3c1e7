#pragma once

#include "store/TerminScan.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

// termine.dat for the reading options, opened by its path: the file is mapped
// and walked by ScanTermins, with German messages for what goes wrong. Nothing
// is written.
class StoreScan
{
public:
    // A missing file is an empty store. False with a German message when the
    // file cannot be opened.
    bool open(const QString& path, QString& error);
    // Calls visit for every appointment. False with a German message when the
    // file is damaged; the appointments before the damage have been visited.
    bool forEach(const std::function<void(const StoredAppointment&)>& visit, QString& error) const;

private:
    QString m_path;
    QFile m_file;
    QByteArray m_copy; // when the file cannot be mapped
    std::string_view m_bytes;
};
