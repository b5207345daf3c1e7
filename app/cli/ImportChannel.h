#pragma once

#include "app/cli/IcalEvents.h"

#include <QJsonObject>
#include <QString>

namespace dw::cli {

// What an import ends with: the German report or error, and the exit status.
struct ImportOutcome
{
    int exitCode = 2;
    QString report; // to standard output
    QString error;  // to standard error
};

// Reads and checks the file; false with "<file>, Zeile N: ..." when it is not
// a readable calendar.
bool ReadCalendarFile(const QString& path, dw::ical::ImportedCalendar& calendar, QString& error);

// The command a running copy answers: {"cmd":"import","file":"<absolute path>"}.
QJsonObject ImportRequest(const QString& absolutePath);
QJsonObject ImportAnswer(const QString& report);
QJsonObject ImportFailure(const QString& error);

// Imports into the store of a data folder. Never two writers: without a running
// copy the lock is taken for the whole import and the file written here; with
// one the file is handed to it over its local channel.
ImportOutcome ImportFile(const QString& dataFolder, const QString& file, int answerTimeoutMs = 120000);

// Sends one request line to the running copy and reads one answer line.
ImportOutcome AskRunningCopy(const QString& serverName, const QJsonObject& request, int answerTimeoutMs);

} // namespace dw::cli
