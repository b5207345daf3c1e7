#include "ical/IcalLines.h"

#include "ical/IcalMessages.h"

#include <cstring>

#include <QCoreApplication>

namespace dw::ical {

namespace {

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

bool Blank(QByteArrayView line)
{
    for (char c : line)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v' && c != '\f')
            return false;
    return true;
}

LineReader::Result Fail(ReadError& error, int line, const QString& text)
{
    error.line = line;
    error.text = text;
    return LineReader::Bad;
}

// Name, parameters and the start of the value; quoted parameter values may hold colons and semicolons.
bool Parse(ContentLine& line)
{
    const std::string& b = line.bytes;
    const auto n = static_cast<qsizetype>(b.size());
    qsizetype i = 0;
    while (i < n && IsNameChar(b[static_cast<std::size_t>(i)]))
        ++i;
    if (i == 0 || i == n || (b[static_cast<std::size_t>(i)] != ':' && b[static_cast<std::size_t>(i)] != ';'))
        return false;
    line.name = QByteArray(b.data(), i).toUpper();
    line.parameters = 0;
    bool quoted = false;
    for (; i < n; ++i) {
        const char c = b[static_cast<std::size_t>(i)];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ';') {
            ++line.parameters;
        } else if (!quoted && c == ':') {
            line.valueAt = i + 1;
            return true;
        }
    }
    return false;
}

} // namespace

LineReader::LineReader(QByteArrayView bytes, qsizetype maxLineBytes, qsizetype from, int lineBefore)
    : m_bytes(bytes), m_max(maxLineBytes), m_pos(from), m_number(lineBefore)
{
}

// The physical line at pos, without CR LF; pos moves past it. Past the end: pos is beyond the size.
QByteArrayView LineReader::physical(qsizetype& pos) const
{
    const char* begin = m_bytes.data() + pos;
    const auto rest = static_cast<std::size_t>(m_bytes.size() - pos);
    // An empty calendar has no data pointer at all, and memchr must not see a null one.
    const auto* lf = rest ? static_cast<const char*>(std::memchr(begin, '\n', rest)) : nullptr;
    const qsizetype length = lf ? lf - begin : static_cast<qsizetype>(rest);
    QByteArrayView line(begin, length);
    pos += length + 1;
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

LineReader::Result LineReader::next(ContentLine& line, ReadError& error)
{
    QByteArrayView first;
    for (;;) {
        if (m_pos > m_bytes.size())
            return End;
        first = physical(m_pos);
        ++m_number;
        if (m_number == 1 && first.startsWith("\xEF\xBB\xBF"))
            first = first.sliced(3);
        if (!Blank(first))
            break;
    }
    line.line = m_number;
    error.boundReached = first.size() > m_max;
    if (error.boundReached)
        return Fail(error, line.line, TooLong(m_max));
    line.bytes.assign(first.data(), static_cast<std::size_t>(first.size()));
    // Folding may split a UTF-8 sequence, so a line is joined as bytes and checked whole.
    while (m_pos < m_bytes.size() && (m_bytes[m_pos] == ' ' || m_bytes[m_pos] == '\t')) {
        const QByteArrayView more = physical(m_pos).sliced(1);
        ++m_number;
        error.boundReached = static_cast<qsizetype>(line.bytes.size()) + more.size() > m_max;
        if (error.boundReached)
            return Fail(error, line.line, TooLong(m_max));
        line.bytes.append(more.data(), static_cast<std::size_t>(more.size()));
    }
    const QByteArrayView whole(line.bytes.data(), static_cast<qsizetype>(line.bytes.size()));
    if (whole.contains('\0'))
        return Fail(error, line.line,
                    QCoreApplication::translate("IcalLines", "Die Zeile enthält ein Nullzeichen."));
    if (!whole.isValidUtf8())
        return Fail(error, line.line,
                    QCoreApplication::translate("IcalLines", "Die Zeile ist kein gültiges UTF-8."));
    if (!Parse(line)) {
        Fail(error, line.line,
             QCoreApplication::translate("IcalLines",
                                         "Die Zeile ist keine iCalendar-Zeile (NAME:WERT erwartet)."));
        return NotContent;
    }
    return Line;
}

} // namespace dw::ical
