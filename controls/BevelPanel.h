#pragma once

#include <QColor>
#include <QFrame>

// A panel in a colour of its own with a lowered outer and a raised inner bevel,
// as the header strips and the option panels have.
class BevelPanel : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(bool bevelled READ bevelled WRITE setBevelled)
public:
    explicit BevelPanel(QWidget* parent = nullptr);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    bool bevelled() const { return m_bevelled; }
    void setBevelled(bool bevelled);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
    bool m_bevelled = true;
};
