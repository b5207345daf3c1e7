#include "TestSupport.h"
#include "controls/AboutBox.h"
#include "controls/BitBtnXP.h"
#include "controls/JpegImage.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class AboutBoxTest : public ::testing::Test
{
protected:
    AboutBoxTest()
    {
        dw::SetShellOpenHandler([this](const QString& address) { opened << address; });
    }
    ~AboutBoxTest() override
    {
        dw::SetShellOpenHandler({});
        TAboutBox::SetPictureFile({});
    }

    static void showActive(TAboutBox& box)
    {
        box.show();
        QApplication::setActiveWindow(&box);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    }

    dwtest::ScopedFakeClock clock{dwtest::At(2024, 12, 31, 23, 59, 59, 999)};
    QStringList opened;
};

TEST_F(AboutBoxTest, LayoutAndCaption)
{
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(box.size(), QSize(664, 453));
    EXPECT_EQ(box.minimumSize(), box.maximumSize()) << "not resizable";
    EXPECT_FALSE(box.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(box.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(box.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(box.ProgramIcon()->geometry(), QRect(16, 40, 306, 322));
    EXPECT_EQ(box.BitBtnXP1()->geometry(), QRect(336, 240, 169, 25));
    EXPECT_EQ(box.BitBtn1()->geometry(), QRect(241, 404, 181, 37));
    EXPECT_EQ(box.BitBtnXP1()->text(), QStringLiteral("https://&www.norvex.example/"));
    EXPECT_EQ(box.BitBtn1()->text(), QStringLiteral("&OK"));
    EXPECT_EQ(box.BitBtn1()->modalResult(), 1);
    EXPECT_TRUE(box.BitBtn1()->isDefault());
}

TEST_F(AboutBoxTest, YearComesFromTheClockWhenTheDialogIsCreated)
{
    struct Case
    {
        dw::TDateTime now;
        const char* year;
    };
    const Case cases[] = {
        {dwtest::At(2024, 12, 31, 23, 59, 59, 999), "2024"},
        {dwtest::At(2025, 1, 1, 0, 0, 0, 0), "2025"},
        {dwtest::At(2100, 6, 15, 12, 0), "2100"},
    };
    for (const Case& c : cases) {
        clock.clock.set(c.now);
        TAboutBox box;
        const QString caption = box.Copyright()->text();
        // The maker only, no person.
        EXPECT_EQ(caption, QStringLiteral("© %1 Norvex").arg(QLatin1String(c.year)));
        EXPECT_FALSE(caption.contains(QLatin1String("XXXX")));
        // The clock moving on does not change an open dialog.
        clock.clock.set(dwtest::At(2030, 1, 1));
        EXPECT_EQ(box.Copyright()->text(), caption);
    }
}

TEST_F(AboutBoxTest, EnterOnTheHomePageButtonOpensTheHomePageAndStaysOpen)
{
    TAboutBox box;
    showActive(box);
    box.BitBtnXP1()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), box.BitBtnXP1());
    QTest::keyClick(box.BitBtnXP1(), Qt::Key_Return);
    EXPECT_EQ(opened, QStringList{QString::fromLatin1(dw::HomePageAddress)});
    EXPECT_TRUE(box.isVisible());
    QTest::mouseClick(box.BitBtnXP1(), Qt::LeftButton);
    EXPECT_EQ(opened.size(), 2);
    EXPECT_TRUE(box.isVisible());
}

TEST_F(AboutBoxTest, EnterElsewhereClosesWithResultOne)
{
    for (bool focusOnOk : {true, false}) {
        TAboutBox box;
        showActive(box);
        if (focusOnOk) {
            EXPECT_EQ(QApplication::focusWidget(), box.BitBtn1()) << "OK has the focus at the start";
            QTest::keyClick(box.BitBtn1(), Qt::Key_Return);
        } else {
            box.BitBtn1()->clearFocus();
            QTest::keyClick(&box, Qt::Key_Enter, Qt::KeypadModifier);
        }
        EXPECT_FALSE(box.isVisible()) << focusOnOk;
        EXPECT_EQ(box.result(), 1) << focusOnOk;
        EXPECT_TRUE(opened.isEmpty());
    }
}

TEST_F(AboutBoxTest, EscapeLeavesItOpenAndTheCloseBoxCancels)
{
    TAboutBox box;
    showActive(box);
    for (QWidget* target : {static_cast<QWidget*>(box.BitBtn1()), static_cast<QWidget*>(box.BitBtnXP1()),
                            static_cast<QWidget*>(&box)}) {
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_TRUE(box.isVisible());
    }
    EXPECT_TRUE(box.close());
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), 2);
}

TEST_F(AboutBoxTest, ShowsTheDecodedPictureCentredOnTheScreen)
{
    TAboutBox box;
    showActive(box);
    const QPixmap shown = box.ProgramIcon()->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.size(), QSize(306, 322));
    const QImage expected = dw::LoadJpeg(QStringLiteral(":/pictures/about.jpg"));
    EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_RGB32),
              expected.convertToFormat(QImage::Format_RGB32));
    const QPoint centre = box.screen()->availableGeometry().center();
    EXPECT_LE((box.frameGeometry().center() - centre).manhattanLength(), 2);

    // Where the picture sits, the dialog's own drawing shows it.
    const QImage grabbed = box.grab().toImage();
    const QPoint inPicture = box.ProgramIcon()->mapTo(&box, QPoint(153, 250));
    EXPECT_EQ(grabbed.pixelColor(inPicture).rgb(), expected.pixelColor(153, 250).rgb());
    if (qEnvironmentVariableIsSet("DW_SCREENSHOT"))
        grabbed.save(qEnvironmentVariable("DW_SCREENSHOT"));
}

TEST_F(AboutBoxTest, DamagedPictureLeavesAUsableDialog)
{
    QFile good(QStringLiteral(":/pictures/about.jpg"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString damaged = folder.filePath(QStringLiteral("about.jpg"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(good.readAll().left(5000));
    file.close();

    TAboutBox::SetPictureFile(damaged);
    TAboutBox box;
    showActive(box);
    EXPECT_TRUE(box.ProgramIcon()->pixmap().isNull());
    QTest::mouseClick(box.BitBtnXP1(), Qt::LeftButton);
    EXPECT_EQ(opened.size(), 1);
    QTest::keyClick(box.BitBtn1(), Qt::Key_Return);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), 1);
}

} // namespace
