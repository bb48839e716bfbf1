#pragma once

#include "app/windowdialogs.h"
#include "sheet/export/sheetfile.h"

#include <QMargins>
#include <QRect>
#include <QWidget>

#include <memory>
#include <vector>

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
// pixel, so Qt scales it whole on high-density screens; where only the fonts
// are made larger (a higher logical dpi), it grows with them. The window opens at
// its designed size when that fits the screen, else fitted into it, and can
// be resized: the frame and the path box stretch with the width, the sheet
// takes all the room gained or lost, and the buttons keep their distances to
// the bottom edge and to their side.
class Verinova : public QWidget
{
    Q_OBJECT

public:
    // At 96 logical dots per inch.
    static constexpr int kTwipsPerPixel = 15;

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
    // A control's designed place and the edges of its parent it follows:
    // following both edges of a side stretches it, one edge moves it.
    struct Anchored
    {
        QWidget* widget;
        QRect designed;
        QSize designedParent;
        Qt::Edges edges;
    };

    void anchor(QWidget* widget, Qt::Edges edges);
    QMargins frameMargins() const;
    void fitInto(const QRect& area, const QMargins& frame);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void CmdSair_Click();

    QString SelectArquivo();
    void tell(const CommandOutcome& outcome);

    QString proposedFile(SheetFile::Format format) const;
    void saveSheet();
    void findText();
    void findNextText();
    void filterColumn(int col);
    void chooseFilter(int col);

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

    QString loadedFile_; // the return file whose rows the sheet holds, empty before any
    QString lastFound_;  // what "Localizar próxima" looks for
    std::vector<Anchored> anchored_;
    bool fitted_ = false;
    bool refitted_ = false;
    QMargins fittedFrame_; // the frame the window was last fitted with
};
