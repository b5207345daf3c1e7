#include "controls/BevelPanel.h"

#include <QPainter>
#include <qdrawutil.h>

BevelPanel::BevelPanel(QWidget* parent) : QFrame(parent)
{
    setContentsMargins(2, 2, 2, 2);
}

void BevelPanel::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void BevelPanel::setBevelled(bool bevelled)
{
    m_bevelled = bevelled;
    setContentsMargins(bevelled ? 2 : 0, bevelled ? 2 : 0, bevelled ? 2 : 0, bevelled ? 2 : 0);
    update();
}

void BevelPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_color.isValid() ? m_color : palette().color(QPalette::Window));
    if (!m_bevelled)
        return;
    // Lowered outer ring, raised inner ring.
    qDrawShadeRect(&p, rect(), palette(), true, 1, 0);
    qDrawShadeRect(&p, rect().adjusted(1, 1, -1, -1), palette(), false, 1, 0);
}
