#include "reminder/TerminForm.h"

#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/WaylandAttention.h"
#include "platform/WindowSystem.h"
#include "ui_TerminForm.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>

namespace {

// Descriptions keep the CR LF line breaks they were typed with.
QString DisplayLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void UseTooltipColours(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
    widget->setPalette(palette);
}

} // namespace

TTerminForm::TTerminForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TTerminForm>())
{
    setWindowModality(Qt::ApplicationModal);
    setFont(dw::FormFont());
    ui->setupUi(this);
    setFixedSize(394, 215);
    UseTooltipColours(ui->Edit1);
    UseTooltipColours(ui->Memo1);
}

TTerminForm::~TTerminForm() = default;

int TTerminForm::ShowReminder(const QString& heading, const QString& name, const QString& description)
{
    ui->datelabel->setText(heading);
    ui->datelabel->adjustSize();
    ui->Edit1->setText(name);
    ui->Edit1->setCursorPosition(0);
    ui->Memo1->setPlainText(DisplayLines(description));
    ui->Memo1->moveCursor(QTextCursor::Start);
    // A screen reader reads a dialog's description when it opens, then the focused button.
    setAccessibleDescription(QStringList{heading, name, ui->Memo1->toPlainText()}.join(QLatin1Char('\n')));
    PlaceForShowing();
    ui->BitBtn1->setFocus(Qt::OtherFocusReason);
    // A loop of its own, not exec(): exec() ends when the dialog is hidden, and
    // under Wayland the dialog hides and shows itself to come to the front.
    setResult(0);
    show();
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::DialogExec);
    return result();
}

void TTerminForm::CancelReminder()
{
    AnswerReminder(dw::mrCancel);
}

void TTerminForm::AnswerReminder(int result)
{
    if (isVisible())
        done(result);
}

void TTerminForm::BringReminderToFront(const QString& activationToken)
{
    if (!isVisible())
        return;
    if (!dw::ProgramControlsWindows() && activationToken.isEmpty()) {
        // No token came with the click (dunst sends none). A window mapped anew
        // is a new window to the compositor, which gives it the focus as it does
        // a second start's main window; over a full-screen window it does not,
        // and a token asked for here has the dialog at least marked urgent.
        hide();
        show();
        dw::RequestAttention(this);
        return;
    }
    // Qt's Wayland plugin activates a window with the token it finds in
    // XDG_ACTIVATION_TOKEN and takes it from there. Nothing else reads it, and
    // no program started later may inherit a spent token.
    const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (wayland && !activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
    if (wayland)
        qunsetenv("XDG_ACTIVATION_TOKEN");
}

void TTerminForm::reject()
{
    done(dw::mrCancel);
}

void TTerminForm::PlaceForShowing()
{
    // Centred the first time; afterwards the window keeps the place the user gave it.
    if (m_placed)
        return;
    m_placed = true;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->geometry().center());
    move(frame.topLeft());
}
