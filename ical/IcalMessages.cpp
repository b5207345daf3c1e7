#include "ical/IcalMessages.h"

#include <QCoreApplication>
#include <QLocale>

#include <libical/ical.h>

namespace dw::ical {

namespace {

// C0, DEL, C1, and the characters that turn a terminal's writing direction or hide text.
bool Unsafe(char32_t c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0) || (c >= 0x202a && c <= 0x202e) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029 || c == 0x200e || c == 0x200f;
}

} // namespace

QString Shown(const QString& text, qsizetype maxCharacters)
{
    QString out;
    qsizetype count = 0;
    for (char32_t c : text.toUcs4()) {
        if (count++ == maxCharacters) {
            out += QChar(0x2026);
            break;
        }
        if (!Unsafe(c))
            out += QString::fromUcs4(&c, 1);
        else if (c < 0x100)
            out += QStringLiteral("\\x%1").arg(static_cast<uint>(c), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u{%1}").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'));
    }
    return out;
}

QString Shown(QByteArrayView utf8, qsizetype maxCharacters)
{
    // Enough bytes for the characters shown; a cut sequence becomes U+FFFD and is cut off anyway.
    return Shown(QString::fromUtf8(utf8.first(std::min<qsizetype>(utf8.size(), 4 * maxCharacters + 4))),
                 maxCharacters);
}

QString Number(long long n)
{
    return QLocale(QLocale::German).toString(n);
}

QString TooLong(qsizetype maxBytes)
{
    return QCoreApplication::translate("IcalMessages", "Die Zeile ist zu lang (mehr als %1 Bytes).")
        .arg(Number(maxBytes));
}

QString ParserErrorText(int errorType, const QByteArray& name, QByteArrayView value)
{
    const QString property = Shown(QByteArrayView(name));
    switch (errorType) {
    case ICAL_XLICERRORTYPE_VALUEPARSEERROR:
        if (value.trimmed().isEmpty())
            return QCoreApplication::translate("IcalMessages", "%1 hat keinen Wert.").arg(property);
        return QCoreApplication::translate("IcalMessages", "%1 hat keinen gültigen Wert: „%2“.")
            .arg(property, Shown(value));
    case ICAL_XLICERRORTYPE_PARAMETERNAMEPARSEERROR:
        return QCoreApplication::translate("IcalMessages",
                                           "%1 hat einen Parameter, der sich nicht lesen lässt.")
            .arg(property);
    case ICAL_XLICERRORTYPE_PARAMETERVALUEPARSEERROR:
        return QCoreApplication::translate("IcalMessages", "%1 hat einen ungültigen Parameterwert.")
            .arg(property);
    case ICAL_XLICERRORTYPE_PROPERTYPARSEERROR:
        return QCoreApplication::translate("IcalMessages", "Unbekannte Eigenschaft %1.").arg(property);
    default:
        return QCoreApplication::translate("IcalMessages", "%1 ist fehlerhaft.").arg(property);
    }
}

} // namespace dw::ical
