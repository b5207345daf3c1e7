#pragma once

#include <QJsonObject>

class AppCore;

// The running copy's side of an import handed over by a second start:
// {"cmd":"import","file":"<absolute path>"} adds the file's appointments to the
// program's grid (what the windows show follows) and saves. Answers
// {"ok":true,"report":...,"exit":0} or {"ok":false,"error":...,"exit":2}.
QJsonObject HandleImportCommand(AppCore& core, const QJsonObject& request);
