#pragma once

#include "app/windowdialogs.h"
#include "app/windowlayout.h"
#include "sheet/export/sheetfile.h"

#include <QRect>
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
// by. Its controls are placed in twips (WindowLayout): the frame and the path
// box stretch with the window's width, the sheet takes all the room gained or
// lost, and the buttons keep their distances to the bottom edge and to their
// side.
class Verinova : public QWidget
{
    Q_OBJECT

public:
    // The dialogs the window shows go through `dialogs`: the platform's own
    // when none is given.
    explicit Verinova(std::unique_ptr<WindowDialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~Verinova() override;

    // Puts a path into the path box, as the command line does at start-up.
    void setReturnFilePath(const QString& path);

protected:
    // Where the window fits itself, frame included, when it is first shown:
    // the available geometry of its screen. Tests give an area of their own.
    virtual QRect availableArea() const;

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void introduceItself();
    void placeTheFileChoice();
    void placeTheSheetAndItsButtons();
    void keepTheControlsOnTheirEdges();
    void orderTheTabs();
    void runTheCommandsOnClicksAndKeys();
    void followTheSheetsRequests();

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void CmdSair_Click();

    QString SelectArquivo();
    QString startingFolder() const;
    void showFolderOverview();
    void openFromOverview(const QString& path);
    void compareWithEarlier();
    void tell(const CommandOutcome& outcome);

    QString proposedFile(SheetFile::Format format) const;
    void saveSheet();
    void findText();
    void findNextText();
    void filterColumn(int col);
    void chooseFilter(int col);

    std::unique_ptr<WindowDialogs> dialogs_;
    WindowLayout layout_;

    QGroupBox* Frame1;           // "Arquivo de Retorno" frame
    PictureButton* Command1;     // folder button: chooses the return file
    QLineEdit* Text1;            // path box
    SheetView* F1Book1;          // result sheet
    PictureButton* Command4;     // printer button
    PictureButton* Command3;     // Otimizar button
    PictureButton* Command2;     // Processar button
    PictureButton* CmdSair;      // Fechar button
    CommonDialog* CommonDialog1; // open-file dialog, shown by the folder button

    QString loadedFile_; // the return file whose rows the sheet holds, empty before any
    QString lastFound_;  // what "Localizar próxima" looks for
};
