#pragma once

#include <QByteArrayView>
#include <QString>

namespace dw::ical {

// Text from the file as it may appear in a message: control characters shown
// as \xNN or \u{NNNN} (never sent raw to a terminal), long text cut short.
QString Shown(QByteArrayView utf8, qsizetype maxCharacters = 60);
QString Shown(const QString& text, qsizetype maxCharacters = 60);

QString TooLong(qsizetype maxBytes);

// What libical found wrong with a property, worded in German: `errorType` is
// its X-LIC-ERRORTYPE, `name` the property, `value` its value in the file.
QString ParserErrorText(int errorType, const QByteArray& name, QByteArrayView value);

// 1234567 as "1.234.567".
QString Number(long long n);

} // namespace dw::ical
