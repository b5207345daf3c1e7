#include "ical/CalendarFile.h"

#include "ical/IcalMessages.h"

#include <QCoreApplication>
#include <QFile>

namespace dw::ical {

namespace {

// Read in pieces, each charged as it comes: a file past the bound is refused
// before it is read, and a device without end (/dev/zero, a pipe that trickles)
// meets the bounds on size and time too.
bool ReadBytes(QFile& file, QByteArray& bytes, Budget& budget)
{
    constexpr qint64 Piece = 1 << 20;
    if (!file.isSequential()) {
        if (file.size() > budget.bounds().inputBytes)
            budget.chargeInput(file.size());
        bytes.reserve(static_cast<qsizetype>(file.size()));
    }
    for (;;) {
        const QByteArray piece = file.read(Piece);
        if (piece.isEmpty())
            return file.error() == QFileDevice::NoError;
        budget.chargeInput(piece.size());
        bytes += piece;
    }
}

} // namespace

bool ReadCalendarFile(const QString& path, ImportedCalendar& calendar, QString& error, Budget& budget)
{
    // The name comes from the command line and goes back to a terminal.
    const QString shown = Shown(path, 4096);
    QFile file(path);
    QByteArray bytes;
    try {
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !ReadBytes(file, bytes, budget)) {
            error = QCoreApplication::translate("CalendarFile", "%1 kann nicht gelesen werden.").arg(shown);
            return false;
        }
    } catch (const BoundReached& reached) {
        error = QCoreApplication::translate("CalendarFile", "%1: %2 Nichts wurde importiert.")
                    .arg(shown, reached.text);
        return false;
    }
    ReadResult read = ReadCalendar(bytes, budget, Recurring::AsSeries);
    if (!read.calendar) {
        error = QCoreApplication::translate("CalendarFile", "%1, Zeile %2: %3%4")
                    .arg(shown)
                    .arg(read.error.line)
                    .arg(read.error.text,
                         read.error.boundReached
                             ? QCoreApplication::translate("CalendarFile", " Nichts wurde importiert.")
                             : QString());
        return false;
    }
    calendar = std::move(*read.calendar);
    return true;
}

} // namespace dw::ical
