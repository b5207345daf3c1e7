#pragma once

#include <QAbstractSpinBox>

#include <optional>

// The numeric field of the windows. The user may type digits and a sign; the
// value is the text read as a whole number, or 0 when it is none. Optional bounds
// apply only when the focus moves to another control of the window (or a program
// sets the value), so while the user types an hour field may hold 75 for a moment,
// also while a message box about it is open.
class SpinEdit : public QAbstractSpinBox
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue USER true)
    Q_PROPERTY(int minValue READ minValue WRITE setMinValue)
    Q_PROPERTY(int maxValue READ maxValue WRITE setMaxValue)
public:
    explicit SpinEdit(QWidget* parent = nullptr);

    int value() const;
    // Pulled into the bounds; the change signal comes only when the text changes.
    void setValue(int value);

    int minValue() const { return m_min.value_or(0); }
    void setMinValue(int value);
    int maxValue() const { return m_max.value_or(0); }
    void setMaxValue(int value);
    void setRange(int minimum, int maximum);
    // The value pulled into the bounds that are set.
    int bounded(int value) const;

    // Reads a field text as the program does: a whole number, else 0.
    static int parseValue(const QString& text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

signals:
    // Every change of the text, typed or set.
    void changed();

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    std::optional<int> m_min;
    std::optional<int> m_max;
};
