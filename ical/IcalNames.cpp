#include "ical/IcalNames.h"

#include "series/SeriesReader.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <limits>

namespace dw::ical {

namespace {
constexpr qint64 MsPerDay = 86400000;
const QDate Epoch(1899, 12, 30);
} // namespace

QString FormatLastReminded(dw::TDateTime moment)
{
    const qint64 ms = std::llround(moment * static_cast<double>(MsPerDay));
    qint64 days = ms / MsPerDay;
    qint64 rest = ms % MsPerDay;
    if (rest < 0) {
        --days;
        rest += MsPerDay;
    }
    return QDateTime(Epoch.addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(rest)))
        .toString(Qt::ISODateWithMs);
}

std::optional<dw::TDateTime> ParseLastReminded(const QString& text)
{
    const QDateTime at = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!at.isValid())
        return std::nullopt;
    return static_cast<double>(Epoch.daysTo(at.date())) + at.time().msecsSinceStartOfDay() / dw::MSecsPerDay;
}

// The series file writes durations the same way.
long long SecondsOfDays(double days)
{
    return dw::series::SecondsOfDays(days);
}

double DaysFromSeconds(long long seconds)
{
    return dw::series::DaysFromSeconds(seconds);
}

} // namespace dw::ical
