#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TAboutBox;
}
class QLabel;
class TBitBtnXP;

// The about dialog "Info": the program's picture, the maker's notes with the
// current year, a button that opens the maker's home page, and OK. Esc does
// not close it; the close box does.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner = nullptr);
    ~TAboutBox() override;

    QLabel* ProgramIcon() const;
    QLabel* Copyright() const;
    TBitBtnXP* BitBtnXP1() const;
    TBitBtnXP* BitBtn1() const;

    // Where the picture comes from; empty restores the built-in one. A test seam.
    static void SetPictureFile(const QString& fileName);

    // The close box gives the cancel result, as every modal dialog's does.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void BitBtnXP1Click();

    std::unique_ptr<Ui::TAboutBox> ui;
};
