#pragma once

#include "windowdialogs.h"

#include <QWidget>

#include <memory>

class CommonDialog;
class PictureButton;
class QGroupBox;
class QLineEdit;
class SheetView;
struct CommandOutcome;

// The program's only window: the path box with its folder button, the result
// sheet, and the buttons that run the commands on it. Every control keeps its
// designer name, as member and as object name. The layout is fixed, designed
// in twips and laid out at 15 twips a logical pixel, so Qt scales it whole on
// high-density screens.
class Verinova : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kTwipsPerPixel = 15;

    // The dialogs the window shows go through `dialogs`: the platform's own
    // when none is given.
    explicit Verinova(std::unique_ptr<WindowDialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~Verinova() override;

    // Puts a path into the path box, as the command line does at start-up.
    void setReturnFilePath(const QString& path);

private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void CmdSair_Click();

    QString SelectArquivo();
    void tell(const CommandOutcome& outcome);

    std::unique_ptr<WindowDialogs> dialogs_;

    QGroupBox* Frame1;
    PictureButton* Command1;
    QLineEdit* Text1;
    SheetView* F1Book1;
    PictureButton* Command4;
    PictureButton* Command3;
    PictureButton* Command2;
    PictureButton* CmdSair;
    CommonDialog* CommonDialog1;
};
