#include "app/AutostartBox.h"

#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QEvent>
#include <QSignalBlocker>

AutostartBox::AutostartBox(QCheckBox* box, AutostartEntry entry, QObject* parent)
    : QObject(parent), m_box(box), m_entry(std::move(entry))
{
    // The entry may change behind our back (another copy, the desktop's own
    // settings), so the box reads it each time it comes into view.
    m_box->installEventFilter(this);
    connect(m_box, &QCheckBox::toggled, this, &AutostartBox::toggled);
    refresh();
}

void AutostartBox::refresh()
{
    const QSignalBlocker quiet(m_box);
    m_box->setChecked(m_entry.isOn());
}

bool AutostartBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box && event->type() == QEvent::Show)
        refresh();
    return QObject::eventFilter(watched, event);
}

void AutostartBox::toggled(bool on)
{
    QString reason;
    if (!(on ? m_entry.write(&reason) : m_entry.remove(&reason))) {
        const QString what = on ? tr("Der Start beim Anmelden konnte nicht eingerichtet werden.")
                                : tr("Der Start beim Anmelden konnte nicht abgeschaltet werden.");
        dw::MessageBoxA(what + QStringLiteral("\n\n") + reason, QString(), dw::MB_OK | dw::MB_ICONERROR);
    }
    refresh();
}
