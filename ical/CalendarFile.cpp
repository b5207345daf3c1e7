#include "ical/CalendarFile.h"

#include <QFile>

namespace dw::ical {

bool ReadCalendarFile(const QString& path, ImportedCalendar& calendar, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 kann nicht gelesen werden.").arg(path);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("%1 kann nicht gelesen werden.").arg(path);
        return false;
    }
    ReadResult read = ReadCalendar(bytes);
    if (!read.calendar) {
        error = QStringLiteral("%1, Zeile %2: %3").arg(path).arg(read.error.line).arg(read.error.text);
        return false;
    }
    calendar = std::move(*read.calendar);
    return true;
}

} // namespace dw::ical
