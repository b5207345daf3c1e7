#include "controls/AboutBox.h"

#include "controls/BitBtnXP.h"
#include "controls/JpegImage.h"
#include "controls/Pictures.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Shell.h"
#include "ui_AboutBox.h"

#include <QKeyEvent>
#include <QScreen>

namespace {
constexpr int ModalResultCancel = 2;

QString& PictureFile()
{
    static QString fileName;
    return fileName;
}
} // namespace

void TAboutBox::SetPictureFile(const QString& fileName)
{
    PictureFile() = fileName;
}

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner), ui(std::make_unique<Ui::TAboutBox>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("AboutBox"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(dw::FormFont());
    setFixedSize(664, 453);

    QFont headline(QStringLiteral("Arial Narrow"));
    headline.setPixelSize(24);
    headline.setBold(true);
    ui->ProductName->setFont(headline);
    QPalette black = ui->ProductName->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    ui->ProductName->setPalette(black);

    // A damaged picture leaves the space empty; the dialog works without it.
    const QString file = PictureFile().isEmpty() ? PicturePath(QStringLiteral("about.jpg")) : PictureFile();
    QImage picture = dw::LoadJpeg(file);
    if (!picture.isNull()) {
        // Our JPEG reader does not read the "@2x" of the name as Qt's does.
        picture.setDevicePixelRatio(file.contains(QLatin1String("@2x.")) ? 2.0 : 1.0);
        ui->ProgramIcon->setPixmap(QPixmap::fromImage(picture));
        ui->ProgramIcon->resize(picture.deviceIndependentSize().toSize());
    }

    for (QLabel* label : {ui->Copyright, ui->Label1, ui->Label2})
        label->adjustSize();

    // Alt+W, as the main window's home-page button.
    ui->BitBtnXP1->setText(
        QString::fromLatin1(dw::HomePageAddress).replace(QLatin1String("www."), QLatin1String("&www.")));
    ui->BitBtnXP1->setGlyph(PictureImage(QStringLiteral("about_www.bmp")));
    ui->BitBtnXP1->setAccessibleName(tr("Zur Norvex Homepage"));
    connect(ui->BitBtnXP1, &QPushButton::clicked, this, &TAboutBox::BitBtnXP1Click);

    ui->BitBtn1->setKind(TBitBtnXP::bkOK);
    ui->BitBtn1->setText(tr("&OK"));
    ui->BitBtn1->setModalResult(QDialog::Accepted);
    ui->BitBtn1->setDefault(true);
    // Starting on OK makes Enter close the dialog, not open the browser.
    ui->BitBtn1->setFocus();

    FormCreate();
}

TAboutBox::~TAboutBox() = default;

QLabel* TAboutBox::ProgramIcon() const
{
    return ui->ProgramIcon;
}

QLabel* TAboutBox::Copyright() const
{
    return ui->Copyright;
}

TBitBtnXP* TAboutBox::BitBtnXP1() const
{
    return ui->BitBtnXP1;
}

TBitBtnXP* TAboutBox::BitBtn1() const
{
    return ui->BitBtn1;
}

void TAboutBox::FormCreate()
{
    int year = 0, month = 0, day = 0;
    dw::DecodeDate(dw::Now(), year, month, day);
    QString caption = ui->Copyright->text();
    const qsizetype p = caption.indexOf(QLatin1String("XXXX"));
    if (p >= 0)
        caption.replace(p, 4, QString::number(year));
    ui->Copyright->setText(caption);
    ui->Copyright->adjustSize();
}

void TAboutBox::BitBtnXP1Click()
{
    dw::ShellExecuteOpen(this, QString::fromLatin1(dw::HomePageAddress));
}

void TAboutBox::reject()
{
    done(ModalResultCancel);
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    // No button has the cancel role, so Esc does nothing here.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
