#pragma once

#include "platform/DateTime.h"
#include "store/StoreScan.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace dw::cli {

// The appointments of `days` days from `first` on, by date and time of day
// (appointments at the same time in the day's order). Empty with `error` set
// when the store is damaged.
std::optional<std::vector<StoredAppointment>> AgendaEntries(const StoreScan& store, const QDate& first,
                                                            int days, QString& error);

// What a check pass at `now` would remind, in the order it would: the same
// rule, the same walk, nothing changed.
std::optional<std::vector<StoredAppointment>> DueEntries(const StoreScan& store, dw::TDateTime now,
                                                         QString& error);

// Plain text in the regional formats: date, time, name, the description indented below.
QString AgendaText(const std::vector<StoredAppointment>& entries);
// One JSON object a line.
QString AgendaJson(const std::vector<StoredAppointment>& entries);

} // namespace dw::cli
