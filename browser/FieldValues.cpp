#include "browser/FieldValues.h"

#include "platform/RegionalFormats.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>

void SplitTimeOfDay(dw::TDateTime timeOfDay, int& hours, int& minutes)
{
    int seconds = 0;
    int msec = 0;
    dw::DecodeTime(timeOfDay, hours, minutes, seconds, msec);
}

DaysHoursMinutes SplitDuration(dw::TDateTime days)
{
    constexpr qint64 MsPerDay = 86400000;
    // Far beyond anything the fields can make: keep the whole days, as far as they fit.
    constexpr double Huge = 1e9;
    if (!std::isfinite(days))
        return {};
    if (std::fabs(days) > Huge) {
        constexpr double Low = std::numeric_limits<int>::min();
        constexpr double High = std::numeric_limits<int>::max();
        return {static_cast<int>(std::clamp(std::trunc(days), Low, High)), 0, 0};
    }
    const qint64 ms = std::llround(days * static_cast<double>(MsPerDay));
    qint64 whole = ms / MsPerDay;
    qint64 rest = ms % MsPerDay;
    if (rest < 0) {
        whole -= 1;
        rest += MsPerDay;
    }
    return {static_cast<int>(whole), static_cast<int>(rest / 3600000), static_cast<int>(rest / 60000 % 60)};
}

dw::TDateTime ComposeDuration(int days, int hours, int minutes)
{
    return static_cast<double>(days) + dw::EncodeTime(hours, minutes);
}

QString RemindedText(dw::TDateTime lastReminded)
{
    if (lastReminded == 0.0)
        return QCoreApplication::translate("FieldValues", "Erinnert: nie");
    return QCoreApplication::translate("FieldValues", "Erinnert: %1; %2")
        .arg(dw::FormatShortDate(lastReminded), dw::FormatLongTime(lastReminded));
}

QString ToEditText(QString stored)
{
    stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return stored;
}

QString FromEditText(QString edited)
{
    edited.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return edited;
}
