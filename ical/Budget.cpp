#include "ical/Budget.h"

#include "ical/IcalMessages.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

namespace dw::ical {

namespace {

QString Seconds(double seconds)
{
    return QLocale(QLocale::German).toString(seconds, 'f', 1);
}

[[noreturn]] void Reached(const QString& what)
{
    throw BoundReached{QCoreApplication::translate("Budget", "Grenze erreicht: %1.").arg(what)};
}

} // namespace

Budget::Budget(const Bounds& bounds)
    : m_bounds(bounds),
      m_wallEnd(std::chrono::steady_clock::now() +
                std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                    std::chrono::duration<double>(std::clamp(bounds.wallSeconds, 0.0, 1e9)))),
      m_processorStart(std::clock())
{
}

void Budget::chargeInput(qint64 bytes)
{
    m_input += bytes;
    if (m_input > m_bounds.inputBytes)
        Reached(QCoreApplication::translate("Budget", "mehr als %1 Bytes Eingabe")
                    .arg(Number(m_bounds.inputBytes)));
    checkClocks();
}

void Budget::chargeAppointments(qint64 read)
{
    m_appointments += read;
    if (m_appointments > m_bounds.appointments)
        Reached(QCoreApplication::translate("Budget", "mehr als %1 Termine in einem Durchgang")
                    .arg(Number(m_bounds.appointments)));
}

void Budget::chargeAdded(qint64 added)
{
    m_added += added;
    if (m_added > m_bounds.added)
        Reached(QCoreApplication::translate("Budget", "mehr als %1 neue Termine in einem Durchgang")
                    .arg(Number(m_bounds.added)));
}

void Budget::checkExceptions(int ofOneEvent) const
{
    if (ofOneEvent > m_bounds.exceptionsPerEvent)
        Reached(QCoreApplication::translate(
                    "Budget", "mehr als %1 geänderte Wiederholungen (RECURRENCE-ID) eines Termins")
                    .arg(Number(m_bounds.exceptionsPerEvent)));
}

void Budget::check()
{
    // Asking the clocks is a system call: every few hundred steps is often enough.
    if (++m_checks % 256 == 0)
        checkClocks();
}

void Budget::checkClocks() const
{
    const double allowed =
        m_bounds.seconds + m_bounds.secondsPerMegabyte * static_cast<double>(m_input) / 1e6;
    if (static_cast<double>(std::clock() - m_processorStart) / CLOCKS_PER_SEC > allowed)
        Reached(QCoreApplication::translate(
                    "Budget", "mehr als %1 Sekunden Rechenzeit; so aufwendig darf eine Eingabe dieser "
                              "Größe nicht sein")
                    .arg(Seconds(allowed)));
    if (std::chrono::steady_clock::now() > m_wallEnd)
        Reached(QCoreApplication::translate("Budget", "mehr als %1 Sekunden für den ganzen Durchgang")
                    .arg(Seconds(m_bounds.wallSeconds)));
}

} // namespace dw::ical
