#pragma once

#include "series/Series.h"

#include <QDate>
#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;

// How often an appointment repeats, as the edit page offers it.
enum class RepeatChoice
{
    Never,
    Daily,
    Weekly,
    Fortnightly,
    Monthly,
    Yearly,
    Other, // a rule from a calendar file the choices do not name
};

// The choice a rule is shown as, and the rule a choice makes.
RepeatChoice ChoiceOf(const std::optional<dw::series::Rule>& rule);
std::optional<dw::series::Rule> RuleOf(RepeatChoice choice);

// The edit page "Wiederkehr": "Wiederholen" with its choices and "bis" a
// date or open. It only shows and tells; the editor of the occurrences acts.
class RepeatPage : public QWidget
{
    Q_OBJECT
public:
    explicit RepeatPage(QWidget* parent = nullptr);

    // Shows a rule without telling of a change. `until` empty: open, and "bis"
    // offers `day` (the occurrence's) when it is ticked.
    void Show(RepeatChoice choice, std::optional<QDate> until, const QDate& day, const QString& about);
    RepeatChoice choice() const;
    std::optional<QDate> until() const;

    QComboBox* repeatBox() const { return m_repeat; }
    QCheckBox* untilCheck() const { return m_untilCheck; }
    QDateEdit* untilDate() const { return m_until; }

signals:
    void choiceChanged();
    void untilChanged();

private:
    void UpdateEnabled();

    QComboBox* m_repeat;
    QCheckBox* m_untilCheck;
    QDateEdit* m_until;
    QLabel* m_about;
    bool m_showing = false;
};
