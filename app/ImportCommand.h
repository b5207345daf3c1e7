#pragma once

#include <QJsonObject>

class TMainForm;

// The running copy's side of an import handed over by a second start:
// {"cmd":"import","file":"<absolute path>"} adds the file's appointments to the
// window's grid, refreshes what the window shows and saves. Answers
// {"ok":true,"report":...,"exit":0} or {"ok":false,"error":...,"exit":2}.
QJsonObject HandleImportCommand(TMainForm& form, const QJsonObject& request);
