#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

class FolderLock;

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

// An import's turn at the data folder. Nothing when the lock is ours now and
// the caller imports. While the running copy holds the folder, the import is
// handed to it (the outcome is its answer); while another import holds it,
// this one waits its turn, up to patienceMs.
std::optional<ImportOutcome> TakeImportTurn(FolderLock& lock, const QString& serverName,
                                            const QJsonObject& request, int patienceMs);

} // namespace dw::instance
