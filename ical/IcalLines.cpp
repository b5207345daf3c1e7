#include "ical/IcalLines.h"

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

QString Error(ReadError& error, int line, const QString& text)
{
    error.line = line;
    error.text = text;
    return {};
}

// Checks one logical (unfolded) line after another and collects them for the parser.
class LineChecker
{
public:
    explicit LineChecker(ScannedFile& scanned) : m_scanned(scanned) {}

    bool take(const QByteArray& bytes, int line, ReadError& error)
    {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(bytes);
        if (utf8.hasError()) {
            Error(error, line, QStringLiteral("Die Zeile ist kein gültiges UTF-8."));
            return false;
        }
        m_lastLine = line;
        if (!m_started) {
            if (text.trimmed().compare(QLatin1String("BEGIN:VCALENDAR"), Qt::CaseInsensitive) != 0) {
                Error(error, line, NotACalendar());
                return false;
            }
            m_started = true;
        }
        if (m_ended) {
            Error(error, line, QStringLiteral("Nach END:VCALENDAR folgt noch Inhalt."));
            return false;
        }
        const QString name = PropertyName(text);
        if (name.isEmpty()) {
            Error(error, line, QStringLiteral("Die Zeile ist keine iCalendar-Zeile (NAME:WERT erwartet)."));
            return false;
        }
        const QString value = text.mid(text.indexOf(QLatin1Char(':')) + 1).trimmed().toUpper();
        if (name == QLatin1String("BEGIN")) {
            if (value.isEmpty()) {
                Error(error, line, QStringLiteral("BEGIN ohne Namen."));
                return false;
            }
            m_open.push_back(value);
            if (value == QLatin1String("VEVENT") && m_open.size() == 2) {
                m_scanned.events.push_back({line, {}});
                m_event = &m_scanned.events.back();
            }
        } else if (name == QLatin1String("END")) {
            if (m_open.empty() || m_open.back() != value) {
                Error(error, line,
                      m_open.empty()
                          ? QStringLiteral("END ohne BEGIN.")
                          : QStringLiteral("END:%1 erwartet, nicht END:%2.").arg(m_open.back(), value));
                return false;
            }
            m_open.pop_back();
            if (m_open.size() < 2)
                m_event = nullptr;
            m_ended = m_open.empty();
        } else if (m_event) {
            const QString key =
                m_open.back() == QLatin1String("VALARM") ? QStringLiteral("VALARM/") + name : name;
            if (!m_event->properties.contains(key))
                m_event->properties.insert(key, line);
        }
        m_scanned.unfolded += bytes;
        m_scanned.unfolded += "\r\n";
        return true;
    }

    bool finish(ReadError& error) const
    {
        if (!m_started) {
            Error(error, 1, NotACalendar());
            return false;
        }
        if (!m_ended) {
            Error(error, m_lastLine,
                  QStringLiteral("Die Datei endet vor END:%1; sie ist unvollständig.").arg(m_open.back()));
            return false;
        }
        return true;
    }

private:
    static QString NotACalendar()
    {
        return QStringLiteral("Das ist keine iCalendar-Datei: BEGIN:VCALENDAR fehlt.");
    }

    ScannedFile& m_scanned;
    std::vector<QString> m_open;
    EventLines* m_event = nullptr;
    bool m_started = false;
    bool m_ended = false;
    int m_lastLine = 0;
};

} // namespace

bool ScanLines(const QByteArray& bytes, ScannedFile& scanned, ReadError& error)
{
    LineChecker checker(scanned);
    scanned.unfolded.reserve(bytes.size() + 2);
    // Folding may split a UTF-8 sequence, so a logical line is joined as bytes and decoded whole.
    QByteArray current;
    int currentLine = 0; // 0: none pending
    int number = 0;
    for (qsizetype pos = 0; pos <= bytes.size();) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.mid(pos, end - pos);
        pos = end + 1;
        ++number;
        if (line.endsWith('\r'))
            line.chop(1);
        if (number == 1 && line.startsWith("\xEF\xBB\xBF"))
            line.remove(0, 3);
        if ((line.startsWith(' ') || line.startsWith('\t')) && currentLine != 0) {
            current += QByteArrayView(line).sliced(1);
            continue;
        }
        if (currentLine != 0 && !checker.take(current, currentLine, error))
            return false;
        currentLine = 0;
        if (line.trimmed().isEmpty())
            continue;
        current = std::move(line);
        currentLine = number;
    }
    if (currentLine != 0 && !checker.take(current, currentLine, error))
        return false;
    return checker.finish(error);
}

} // namespace dw::ical
