#include "ical/IcalNames.h"

#include "series/SeriesReader.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <limits>

namespace dw::ical {

QString FormatLastReminded(dw::TDateTime moment)
{
    return QString::fromStdString(dw::IsoMoment(moment));
}

std::optional<dw::TDateTime> ParseLastReminded(const QString& text)
{
    const QDateTime at = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!at.isValid())
        return std::nullopt;
    return dw::FromQDateTime(at);
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
