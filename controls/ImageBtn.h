#pragma once

#include <QLabel>
#include <QPixmap>

// A button made of two pictures. (First version: shows the first picture and clicks.)
class TImageBtn : public QLabel
{
    Q_OBJECT
public:
    explicit TImageBtn(QWidget* parent = nullptr);
    void setPicture(const QPixmap& picture);
    void setPicture2(const QPixmap& picture);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture2;
};
