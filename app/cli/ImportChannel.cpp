#include "app/cli/ImportChannel.h"

#include "app/cli/InstanceRequest.h"
#include "app/cli/StoreAccess.h"

#include "platform/DataFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace dw::cli {

namespace {

QString NotAnswering()
{
    return QStringLiteral(
        "Datumswecker läuft bereits für diesen Datenordner, nimmt den Import aber nicht an. "
        "Bitte beenden Sie das Programm und rufen Sie --import noch einmal auf.");
}

} // namespace

bool ReadCalendarFile(const QString& path, dw::ical::ImportedCalendar& calendar, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 kann nicht gelesen werden.").arg(path);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("%1 kann nicht gelesen werden.").arg(path);
        return false;
    }
    dw::ical::ReadResult read = dw::ical::ReadCalendar(bytes);
    if (!read.calendar) {
        error = QStringLiteral("%1, Zeile %2: %3").arg(path).arg(read.error.line).arg(read.error.text);
        return false;
    }
    calendar = std::move(*read.calendar);
    return true;
}

QJsonObject ImportRequest(const QString& absolutePath)
{
    return {{QStringLiteral("cmd"), QStringLiteral("import")}, {QStringLiteral("file"), absolutePath}};
}

QJsonObject ImportAnswer(const QString& report)
{
    return {{QStringLiteral("ok"), true}, {QStringLiteral("report"), report}, {QStringLiteral("exit"), 0}};
}

QJsonObject ImportFailure(const QString& error)
{
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}, {QStringLiteral("exit"), 2}};
}

ImportOutcome AskRunningCopy(const QString& serverName, const QJsonObject& request, int answerTimeoutMs)
{
    ImportOutcome outcome;
    const std::optional<QJsonObject> answer = SendInstanceRequest(serverName, request, 3000, answerTimeoutMs);
    if (!answer || answer->isEmpty()) {
        outcome.error = NotAnswering();
        return outcome;
    }
    const QJsonObject& reply = *answer;
    outcome.exitCode = reply.value(QStringLiteral("exit")).toInt(2);
    if (reply.value(QStringLiteral("ok")).toBool())
        outcome.report = reply.value(QStringLiteral("report")).toString();
    else
        outcome.error = reply.value(QStringLiteral("error")).toString();
    return outcome;
}

ImportOutcome ImportFile(const QString& dataFolder, const QString& file, int answerTimeoutMs)
{
    ImportOutcome outcome;
    dw::ical::ImportedCalendar calendar;
    if (!ReadCalendarFile(file, calendar, outcome.error))
        return outcome;

    QLockFile lock(dw::InstanceLockPath(dataFolder));
    // Only a lock whose process is gone is stale; a long-running copy's lock is not.
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError) {
            outcome.error = QStringLiteral("Die Sperre %1 kann nicht angelegt werden.")
                                .arg(dw::InstanceLockPath(dataFolder));
            return outcome;
        }
        return AskRunningCopy(dw::InstanceServerName(dataFolder),
                              ImportRequest(QFileInfo(file).absoluteFilePath()), answerTimeoutMs);
    }
    const StoreImport done = ImportIntoFile(dataFolder + QStringLiteral("termine.dat"), calendar);
    if (!done.ok) {
        outcome.error = done.error;
        return outcome;
    }
    outcome.exitCode = 0;
    outcome.report = done.report.text();
    return outcome;
}

} // namespace dw::cli
