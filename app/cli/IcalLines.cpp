#include "app/cli/IcalLines.h"

#include <QStringDecoder>

#include <vector>

namespace dw::ical {

namespace {

bool IsNameChar(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
}

// The property name of a content line, or an empty string when the line has
// none followed by parameters and a colon (quoted parameter values may hold
// colons and semicolons).
QString PropertyName(const QString& line)
{
    qsizetype i = 0;
    while (i < line.size() && IsNameChar(line[i]))
        ++i;
    if (i == 0 || i == line.size() || (line[i] != QLatin1Char(':') && line[i] != QLatin1Char(';')))
        return {};
    const QString name = line.left(i).toUpper();
    bool quoted = false;
    for (; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && line[i] == QLatin1Char(':'))
            return name;
    }
    return {};
}

struct Logical
{
    QString text;
    int line = 0;
};

QString Error(ReadError& error, int line, const QString& text)
{
    error.line = line;
    error.text = text;
    return {};
}

} // namespace

bool ScanLines(const QByteArray& bytes, ScannedFile& scanned, ReadError& error)
{
    // Folding may split a UTF-8 sequence, so lines are joined as bytes and decoded after.
    struct RawLine
    {
        QByteArray bytes;
        int line = 0;
    };
    std::vector<RawLine> raw;
    const QList<QByteArray> physical = bytes.split('\n');
    for (qsizetype i = 0; i < physical.size(); ++i) {
        QByteArray line = physical[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (i == 0 && line.startsWith("\xEF\xBB\xBF"))
            line.remove(0, 3);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !raw.empty()) {
            raw.back().bytes += line.mid(1);
            continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        raw.push_back({line, static_cast<int>(i) + 1});
    }
    std::vector<Logical> logical;
    for (const RawLine& r : raw) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(r.bytes);
        if (utf8.hasError()) {
            Error(error, r.line, QStringLiteral("Die Zeile ist kein gültiges UTF-8."));
            return false;
        }
        logical.push_back({std::move(text), r.line});
    }
    if (logical.empty() ||
        logical.front().text.trimmed().compare(QLatin1String("BEGIN:VCALENDAR"), Qt::CaseInsensitive) != 0) {
        Error(error, logical.empty() ? 1 : logical.front().line,
              QStringLiteral("Das ist keine iCalendar-Datei: BEGIN:VCALENDAR fehlt."));
        return false;
    }

    std::vector<QString> open;
    bool ended = false;
    EventLines* event = nullptr;
    QByteArray out;
    for (const Logical& l : logical) {
        if (ended) {
            Error(error, l.line, QStringLiteral("Nach END:VCALENDAR folgt noch Inhalt."));
            return false;
        }
        const QString name = PropertyName(l.text);
        if (name.isEmpty()) {
            Error(error, l.line, QStringLiteral("Die Zeile ist keine iCalendar-Zeile (NAME:WERT erwartet)."));
            return false;
        }
        const QString value = l.text.mid(l.text.indexOf(QLatin1Char(':')) + 1).trimmed().toUpper();
        if (name == QLatin1String("BEGIN")) {
            if (value.isEmpty()) {
                Error(error, l.line, QStringLiteral("BEGIN ohne Namen."));
                return false;
            }
            open.push_back(value);
            if (value == QLatin1String("VEVENT") && open.size() == 2) {
                scanned.events.push_back({l.line, {}});
                event = &scanned.events.back();
            }
        } else if (name == QLatin1String("END")) {
            if (open.empty() || open.back() != value) {
                Error(error, l.line,
                      open.empty()
                          ? QStringLiteral("END ohne BEGIN.")
                          : QStringLiteral("END:%1 erwartet, nicht END:%2.").arg(open.back(), value));
                return false;
            }
            open.pop_back();
            if (open.size() < 2)
                event = nullptr;
            ended = open.empty();
        } else if (event) {
            const QString key =
                open.back() == QLatin1String("VALARM") ? QStringLiteral("VALARM/") + name : name;
            if (!event->properties.contains(key))
                event->properties.insert(key, l.line);
        }
        out += l.text.toUtf8();
        out += "\r\n";
    }
    if (!ended) {
        Error(error, logical.back().line,
              QStringLiteral("Die Datei endet vor END:%1; sie ist unvollständig.").arg(open.back()));
        return false;
    }
    scanned.unfolded = std::move(out);
    return true;
}

} // namespace dw::ical
