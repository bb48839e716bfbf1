#pragma once

#include "app/windowdialogs.h"

#include <QWidget>

#include <memory>

class CommonDialog;
class PictureButton;
class QGroupBox;
class QLineEdit;
class SheetView;
struct CommandOutcome;

// The program's only window: the path box with its folder button, the result
// sheet, and the buttons that run the commands on it. Each control's member
// name is also its object name, which tests and accessibility tools find it
// by. The layout is designed in twips and laid out at 15 twips a logical
// pixel, so Qt scales it whole on high-density screens.
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

    QGroupBox* Frame1;           // "Arquivo de Retorno" frame
    PictureButton* Command1;     // folder button: chooses the return file
    QLineEdit* Text1;            // path box
    SheetView* F1Book1;          // result sheet
    PictureButton* Command4;     // printer button
    PictureButton* Command3;     // Otimizar button
    PictureButton* Command2;     // Processar button
    PictureButton* CmdSair;      // Fechar button
    CommonDialog* CommonDialog1; // open-file dialog, shown by the folder button
};
