#include "platform/GuiMessageBox.h"

#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace dw {

namespace {

int ShowQtMessageBox(const QString& text, const QString& caption, unsigned flags)
{
    QMessageBox box(QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                      : QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(text);
    box.setWindowModality(Qt::ApplicationModal);
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    // The texts are set here so that the buttons read German whatever translations are installed.
    struct Choice
    {
        QMessageBox::StandardButton button;
        const char* text;
        int result;
    };
    QList<Choice> choices;
    switch (flags & 0x0F) {
    case MB_YESNOCANCEL:
        choices = {{QMessageBox::Yes, "&Ja", mrYes},
                   {QMessageBox::No, "&Nein", mrNo},
                   {QMessageBox::Cancel, "Abbrechen", mrCancel}};
        break;
    case MB_YESNO:
        choices = {{QMessageBox::Yes, "&Ja", mrYes}, {QMessageBox::No, "&Nein", mrNo}};
        break;
    case MB_SERIESCHOICE:
        choices = {{QMessageBox::Yes, "&Nur diesen Termin", mrYes},
                   {QMessageBox::YesToAll, "&Alle Termine der Serie", mrAll},
                   {QMessageBox::Cancel, "Abbrechen", mrCancel}};
        break;
    default:
        choices = {{QMessageBox::Ok, "OK", mrOk}};
        break;
    }
    for (const Choice& c : choices)
        box.addButton(c.button)->setText(QString::fromUtf8(c.text));
    box.setDefaultButton(static_cast<QPushButton*>(box.button(choices.first().button)));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const Choice& c : choices)
        if (box.button(c.button) == clicked)
            return c.result;
    // Closed by its close box or Esc: the cancel result, or OK for a box that only has OK.
    return (flags & 0x0F) == MB_OK ? mrOk : mrCancel;
}

} // namespace

void InstallQtMessageBoxHandler()
{
    SetMessageBoxHandler(ShowQtMessageBox);
}

} // namespace dw
