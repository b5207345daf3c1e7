#include "TestSupport.h"

namespace dwtest {

ScriptedMessageBoxes::ScriptedMessageBoxes()
{
    m_previous = dw::SetMessageBoxHandler([this](const QString& text, const QString& caption, unsigned flags) {
        m_shown.push_back({text, caption, flags});
        if (!m_answers.empty()) {
            const int result = m_answers.front();
            m_answers.pop_front();
            return result;
        }
        return (flags & 0x0F) == dw::MB_OK ? int(dw::mrOk) : int(dw::mrCancel);
    });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes()
{
    dw::SetMessageBoxHandler(std::move(m_previous));
}

QStringList ScriptedMessageBoxes::texts() const
{
    QStringList result;
    for (const ShownMessage& m : m_shown)
        result << m.text;
    return result;
}

ScopedFakeClock::ScopedFakeClock(dw::TDateTime start) : clock(start), m_previous(&dw::CurrentClock())
{
    dw::SetClock(&clock);
}

ScopedFakeClock::~ScopedFakeClock()
{
    dw::SetClock(m_previous);
}

GermanFormats::GermanFormats()
{
    dw::SetFormats({QStringLiteral("%d.%m.%Y"), QStringLiteral("%H:%M:%S")});
}

GermanFormats::~GermanFormats()
{
    dw::ResetFormats();
}

dw::TDateTime At(int year, int month, int day, int hour, int minute, int second, int msec)
{
    return dw::EncodeDate(year, month, day) + dw::EncodeTime(hour, minute, second, msec);
}

QString SourceDir()
{
    return QStringLiteral(DW_SOURCE_DIR);
}

QString BinaryDir()
{
    return QStringLiteral(DW_BINARY_DIR);
}

} // namespace dwtest
