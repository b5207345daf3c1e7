#pragma once

#include <QJsonObject>
#include <QString>

namespace dw::instance {

// What an import ends with: the German report or error, and the exit status.
struct ImportOutcome
{
    int exitCode = 2;
    QString report; // to standard output
    QString error;  // to standard error
};

// The command a running copy answers: {"cmd":"import","file":"<absolute path>"}.
QJsonObject ImportRequest(const QString& absolutePath);
QJsonObject ImportAnswer(const QString& report);
QJsonObject ImportFailure(const QString& error);

// Sends one request line to the running copy and reads one answer line.
ImportOutcome AskRunningCopy(const QString& serverName, const QJsonObject& request, int answerTimeoutMs);

} // namespace dw::instance
