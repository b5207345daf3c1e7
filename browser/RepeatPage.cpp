#include "browser/RepeatPage.h"

#include "platform/RegionalFormats.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QSignalBlocker>

namespace {

struct Offer
{
    RepeatChoice choice;
    const char* text;
};
// The texts of the choices, in their order.
constexpr Offer Offers[] = {
    {RepeatChoice::Never, QT_TRANSLATE_NOOP("RepeatPage", "nie")},
    {RepeatChoice::Daily, QT_TRANSLATE_NOOP("RepeatPage", "täglich")},
    {RepeatChoice::Weekly, QT_TRANSLATE_NOOP("RepeatPage", "wöchentlich")},
    {RepeatChoice::Fortnightly, QT_TRANSLATE_NOOP("RepeatPage", "alle zwei Wochen")},
    {RepeatChoice::Monthly, QT_TRANSLATE_NOOP("RepeatPage", "monatlich")},
    {RepeatChoice::Yearly, QT_TRANSLATE_NOOP("RepeatPage", "jährlich")},
    {RepeatChoice::Other, QT_TRANSLATE_NOOP("RepeatPage", "wie im Kalender angegeben")}};

// The regional short date (a strftime pattern) as a date edit's display format.
QString DisplayFormat(const QString& pattern)
{
    QString format;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != QLatin1Char('%') || i + 1 >= pattern.size()) {
            format += pattern[i] == QLatin1Char('\'') ? QStringLiteral("''") : QString(pattern[i]);
            continue;
        }
        switch (pattern[++i].unicode()) {
        case 'd':
            format += QStringLiteral("dd");
            break;
        case 'e':
            format += QStringLiteral("d");
            break;
        case 'm':
            format += QStringLiteral("MM");
            break;
        case 'Y':
            format += QStringLiteral("yyyy");
            break;
        case 'y':
            format += QStringLiteral("yy");
            break;
        default:
            return QStringLiteral("dd.MM.yyyy");
        }
    }
    return format.isEmpty() ? QStringLiteral("dd.MM.yyyy") : format;
}

} // namespace

RepeatChoice ChoiceOf(const std::optional<dw::series::Rule>& rule)
{
    using dw::series::Frequency;
    if (!rule)
        return RepeatChoice::Never;
    if (!rule->simple() || rule->count != 0)
        return RepeatChoice::Other;
    if (rule->interval == 2 && rule->frequency == Frequency::Weekly)
        return RepeatChoice::Fortnightly;
    if (rule->interval != 1)
        return RepeatChoice::Other;
    switch (rule->frequency) {
    case Frequency::Daily:
        return RepeatChoice::Daily;
    case Frequency::Weekly:
        return RepeatChoice::Weekly;
    case Frequency::Monthly:
        return RepeatChoice::Monthly;
    case Frequency::Yearly:
        return RepeatChoice::Yearly;
    }
    return RepeatChoice::Other;
}

std::optional<dw::series::Rule> RuleOf(RepeatChoice choice)
{
    using dw::series::Frequency;
    dw::series::Rule rule;
    switch (choice) {
    case RepeatChoice::Daily:
        rule.frequency = Frequency::Daily;
        break;
    case RepeatChoice::Weekly:
        rule.frequency = Frequency::Weekly;
        break;
    case RepeatChoice::Fortnightly:
        rule.frequency = Frequency::Weekly;
        rule.interval = 2;
        break;
    case RepeatChoice::Monthly:
        rule.frequency = Frequency::Monthly;
        break;
    case RepeatChoice::Yearly:
        rule.frequency = Frequency::Yearly;
        break;
    case RepeatChoice::Never:
    case RepeatChoice::Other:
        return std::nullopt;
    }
    return rule;
}

RepeatPage::RepeatPage(QWidget* parent)
    : QWidget(parent), m_repeat(new QComboBox(this)), m_untilCheck(new QCheckBox(tr("&bis"), this)),
      m_until(new QDateEdit(this)), m_about(new QLabel(this))
{
    auto* label = new QLabel(tr("Wiede&rholen:"), this);
    label->setGeometry(8, 8, 70, 21);
    label->setBuddy(m_repeat);
    m_repeat->setGeometry(80, 8, 177, 21);
    m_repeat->setAccessibleName(tr("Wiederholen"));
    m_repeat->view()->setAccessibleName(tr("Wiederholen"));
    for (const Offer& offer : Offers)
        m_repeat->addItem(tr(offer.text), static_cast<int>(offer.choice));
    m_untilCheck->setGeometry(8, 32, 70, 21);
    m_untilCheck->setAccessibleName(tr("Wiederholen bis"));
    m_until->setGeometry(80, 32, 177, 21);
    m_until->setCalendarPopup(true);
    m_until->setDateRange(QDate(2000, 1, 1), QDate(2100, 12, 31));
    m_until->setDisplayFormat(DisplayFormat(dw::CurrentFormats().shortDate));
    m_until->setAccessibleName(tr("Letzter Tag der Serie"));
    m_about->setGeometry(8, 56, 401, 21);
    m_about->setAccessibleName(tr("Serie"));
    setTabOrder(m_repeat, m_untilCheck);
    setTabOrder(m_untilCheck, m_until);

    connect(m_repeat, &QComboBox::currentIndexChanged, this, [this] {
        UpdateEnabled();
        if (!m_showing)
            emit choiceChanged();
    });
    connect(m_untilCheck, &QCheckBox::toggled, this, [this] {
        UpdateEnabled();
        if (!m_showing)
            emit untilChanged();
    });
    connect(m_until, &QDateEdit::dateChanged, this, [this] {
        if (!m_showing && m_untilCheck->isChecked())
            emit untilChanged();
    });
    UpdateEnabled();
}

void RepeatPage::Show(RepeatChoice choice, std::optional<QDate> until, const QDate& day, const QString& about)
{
    m_showing = true;
    // "wie im Kalender angegeben" is offered only while such a rule is shown.
    const int other = m_repeat->findData(static_cast<int>(RepeatChoice::Other));
    if (choice != RepeatChoice::Other && other >= 0)
        m_repeat->removeItem(other);
    else if (choice == RepeatChoice::Other && other < 0)
        m_repeat->addItem(tr(Offers[6].text), static_cast<int>(RepeatChoice::Other));
    m_repeat->setCurrentIndex(m_repeat->findData(static_cast<int>(choice)));
    m_untilCheck->setChecked(until.has_value());
    m_until->setDate(until.value_or(day));
    m_about->setText(about);
    // Its name says what it is; a screen reader finds what it says here.
    m_about->setAccessibleDescription(about);
    UpdateEnabled();
    m_showing = false;
}

RepeatChoice RepeatPage::choice() const
{
    return static_cast<RepeatChoice>(m_repeat->currentData().toInt());
}

std::optional<QDate> RepeatPage::until() const
{
    if (!m_untilCheck->isChecked())
        return std::nullopt;
    return m_until->date();
}

void RepeatPage::UpdateEnabled()
{
    const bool repeats = choice() != RepeatChoice::Never;
    m_untilCheck->setEnabled(repeats);
    m_until->setEnabled(repeats && m_untilCheck->isChecked());
}
