#pragma once

#include "platform/DateTime.h"

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <cstdint>
#include <functional>

namespace dw::cli {

// One appointment as termine.dat holds it, read in place.
struct StoredAppointment
{
    std::int32_t day = 0; // date value of its day
    double timeOfDay = 0;
    double lastReminded = 0;
    double firstLead = 0;
    double repeatInterval = 0;
    std::uint8_t done = 0;
    QByteArrayView name;        // Windows-1252, up to its first zero byte
    QByteArrayView description; // the same
};

// Reads termine.dat for the reading options without building the calendar in
// memory: the file is mapped and walked record by record, in grid order, with
// the reader's own tolerance (a count of 0 or below is an empty day, a text
// ends at its first zero byte) and its strictness (a file that ends early or a
// text length that does not fit is damaged). Nothing is written.
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
    QByteArrayView m_bytes;
};

} // namespace dw::cli
