#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// Sends one request to the running copy of a data folder (one compact JSON line)
// and waits for its one-line answer. Nothing when no copy listens under the name,
// none answers within the time, or the answer is not a JSON object.
std::optional<QJsonObject> SendInstanceRequest(const QString& serverName, const QJsonObject& request,
                                               int connectTimeoutMs = 1000, int answerTimeoutMs = 30000);
