#include "ical/IcalNames.h"

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

long long SecondsOfDays(double days)
{
    // Beyond a hundred thousand years nothing is meant; keep the number sane.
    constexpr double Limit = 1e8 * 86400;
    if (!std::isfinite(days))
        return 0;
    return std::llround(std::clamp(days * 86400.0, -Limit, Limit));
}

double DaysFromSeconds(long long seconds)
{
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        --days;
        rest += 86400;
    }
    return static_cast<double>(days) + dw::EncodeTime(static_cast<int>(rest / 3600),
                                                      static_cast<int>(rest / 60 % 60),
                                                      static_cast<int>(rest % 60));
}

} // namespace dw::ical
