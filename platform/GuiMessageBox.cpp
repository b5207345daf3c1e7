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
    // The buttons read as the program words them, not as Qt's translations do.
    struct Choice
    {
        QMessageBox::StandardButton button;
        const char* text;
        int result;
    };
    QList<Choice> choices;
    switch (flags & 0x0F) {
    case MB_YESNOCANCEL:
        choices = {{QMessageBox::Yes, QT_TRANSLATE_NOOP("MessageBox", "&Ja"), mrYes},
                   {QMessageBox::No, QT_TRANSLATE_NOOP("MessageBox", "&Nein"), mrNo},
                   {QMessageBox::Cancel, QT_TRANSLATE_NOOP("MessageBox", "Abbrechen"), mrCancel}};
        break;
    case MB_YESNO:
        choices = {{QMessageBox::Yes, QT_TRANSLATE_NOOP("MessageBox", "&Ja"), mrYes},
                   {QMessageBox::No, QT_TRANSLATE_NOOP("MessageBox", "&Nein"), mrNo}};
        break;
    case MB_SERIESCHOICE:
        choices = {{QMessageBox::Yes, QT_TRANSLATE_NOOP("MessageBox", "&Nur diesen Termin"), mrYes},
                   {QMessageBox::YesToAll, QT_TRANSLATE_NOOP("MessageBox", "&Alle Termine der Serie"), mrAll},
                   {QMessageBox::Cancel, QT_TRANSLATE_NOOP("MessageBox", "Abbrechen"), mrCancel}};
        break;
    default:
        choices = {{QMessageBox::Ok, QT_TRANSLATE_NOOP("MessageBox", "OK"), mrOk}};
        break;
    }
    for (const Choice& c : choices)
        box.addButton(c.button)->setText(QCoreApplication::translate("MessageBox", c.text));
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
