#include "controls/SpinEdit.h"

#include <QFocusEvent>
#include <QLineEdit>

#include <limits>

SpinEdit::SpinEdit(QWidget* parent) : QAbstractSpinBox(parent)
{
    lineEdit()->setText(QStringLiteral("0"));
    lineEdit()->setMaxLength(11);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinEdit::changed);
}

int SpinEdit::parseValue(const QString& text)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(v);
}

int SpinEdit::value() const
{
    return parseValue(lineEdit()->text());
}

int SpinEdit::bounded(int value) const
{
    if (m_max && value > *m_max)
        value = *m_max;
    if (m_min && value < *m_min)
        value = *m_min;
    return value;
}

void SpinEdit::setValue(int value)
{
    const QString text = QString::number(bounded(value));
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

void SpinEdit::setMinValue(int value)
{
    m_min = value;
}

void SpinEdit::setMaxValue(int value)
{
    m_max = value;
}

void SpinEdit::setRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = maximum;
}

void SpinEdit::stepBy(int steps)
{
    const qlonglong next = static_cast<qlonglong>(value()) + steps;
    const qlonglong lowest = std::numeric_limits<int>::min();
    const qlonglong highest = std::numeric_limits<int>::max();
    setValue(static_cast<int>(qBound(lowest, next, highest)));
    lineEdit()->selectAll();
}

QValidator::State SpinEdit::validate(QString& input, int&) const
{
    // Digits with an optional leading sign; a lone sign or nothing reads as 0.
    for (int i = 0; i < input.size(); ++i) {
        const QChar c = input.at(i);
        if (c.isDigit() && c.unicode() < 128)
            continue;
        if (i == 0 && (c == QLatin1Char('+') || c == QLatin1Char('-')))
            continue;
        return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    return StepUpEnabled | StepDownEnabled;
}

void SpinEdit::focusOutEvent(QFocusEvent* event)
{
    QAbstractSpinBox::focusOutEvent(event);
    // Only a move to another control of the window pulls the value into range. A
    // message box (or another window) taking the focus leaves it as typed: the
    // box may well be about that value, and its answer comes first.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    const int v = value();
    if (bounded(v) != v)
        setValue(v);
}
