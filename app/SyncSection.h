#pragma once

#include "sync/SyncController.h"

#include <QObject>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class SpinEdit;

// The sync's part of the settings page: the server's address, user name,
// password, how often, "Jetzt abgleichen", the calendar (a list where the
// server has several), trusting a refused certificate, and the last sync's
// time and result.
// Each field takes effect when it is left.
class SyncSection : public QObject
{
    Q_OBJECT
public:
    // Places the section on the settings page's area, `top` pixels down.
    SyncSection(QWidget* settingsArea, int top, dw::sync::SyncController& controller);

    // The program ends: the fields no longer reach the controller.
    void detach();

    QLineEdit* address() const { return m_address; }
    QLineEdit* user() const { return m_user; }
    QLineEdit* password() const { return m_password; }
    QPushButton* syncButton() const { return m_now; }
    QPlainTextEdit* status() const { return m_status; }
    QComboBox* calendars() const { return m_calendars; }
    QPushButton* trustButton() const { return m_trust; }
    // The section's controls in the order they stand on screen.
    QList<QWidget*> tabOrder() const;

private:
    void takeAccount();
    void syncNow();
    void showState(bool running);
    void finished(const dw::sync::SyncReport& report);
    void askPassword(const QString& reason);
    void fillCalendars();
    void chooseCalendar(int index);

    dw::sync::SyncController& m_controller;
    QWidget* m_page;
    QLineEdit* m_address;
    QLineEdit* m_user;
    QLineEdit* m_password;
    SpinEdit* m_minutes;
    QPushButton* m_now;
    QComboBox* m_calendars;
    QPushButton* m_trust;
    QPlainTextEdit* m_status;
    QByteArray m_fingerprint; // of the certificate the last sync refused
};
