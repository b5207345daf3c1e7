#pragma once

#include "ical/IcalEvents.h"

#include <QByteArray>
#include <QByteArrayView>

#include <string>

namespace dw::ical {

// One unfolded content line, NAME[;PARAMS]:VALUE.
struct ContentLine
{
    int line = 0;          // 1-based line of the file where it begins
    std::string bytes;     // unfolded, without the line end; reused from line to line
    QByteArray name;       // upper case
    qsizetype valueAt = 0; // where the value begins, after the colon
    int parameters = 0;

    QByteArrayView value() const
    {
        return QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).sliced(valueAt);
    }
    bool is(const char* upperName) const { return name == upperName; }
};

// Splits a calendar into its content lines one at a time, unfolding as it goes
// (linear in the file, however long a line). Checks what the parser would
// forgive silently: valid UTF-8, no NUL byte, the form NAME[;PARAMS]:VALUE, and
// the bound on the length of a line.
class LineReader
{
public:
    enum Result
    {
        Line,
        End,
        Bad,
        NotContent
    };

    LineReader(QByteArrayView bytes, qsizetype maxLineBytes, qsizetype from = 0, int lineBefore = 0);
    Result next(ContentLine& line, ReadError& error);
    qsizetype position() const { return m_pos; } // where the next line begins

private:
    QByteArrayView physical(qsizetype& pos) const;

    QByteArrayView m_bytes;
    qsizetype m_max;
    qsizetype m_pos;
    int m_number; // physical lines read so far
};

} // namespace dw::ical
