#pragma once

#include <QLabel>

// A label with a one-pixel highlight shadow up and to the left, for page
// headers and the reminder heading.
class ShadowLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ShadowLabel(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
