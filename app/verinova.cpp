#include "app/verinova.h"

#include "app/commondialog.h"
#include "app/picturebutton.h"
#include "app/svgiconengine.h"
#include "app/systemdialogs.h"
#include "processing/importcommand.h"
#include "processing/optimizecommand.h"
#include "processing/pathcheck.h"
#include "processing/printcommand.h"
#include "sheet/grid/sheetview.h"
#include "sheet/print/printhandler.h"

#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>

namespace {
// The window's title before the maker's notice.
const QString kTitle = QStringLiteral("Verinova Cadastral");
const QString kMakersNotice = QStringLiteral("© 2026 Projeto Verinova Cadastral");

// Word pictures and the printer are drawn at these sizes whatever the size of
// their buttons; a word picture is taller than its button and is clipped.
constexpr QSize kWordPictureSize(71, 33);
constexpr QSize kPrinterPictureSize(25, 25);
constexpr QSize kFolderPictureSize(16, 16);

QRect fromTwips(int left, int top, int width, int height)
{
    constexpr int k = Verinova::kTwipsPerPixel;
    return {left / k, top / k, width / k, height / k};
}

QIcon art(const char* name)
{
    return SvgIconEngine::icon(QStringLiteral(":/art/") + QString::fromLatin1(name) +
                               QStringLiteral(".svg"));
}

PictureButton* pictureButton(QWidget* parent, const char* objectName, const QString& word,
                             const QRect& geometry, const QIcon& picture, QSize pictureSize)
{
    auto* button = new PictureButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAccessibleName(word);
    button->setGeometry(geometry);
    button->setPicture(picture, pictureSize);
    return button;
}

// The wait cursor while a command runs, put back before any message shows.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
} // namespace

Verinova::Verinova(std::unique_ptr<WindowDialogs> dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs ? std::move(dialogs) : std::make_unique<SystemDialogs>())
{
    setObjectName(QStringLiteral("Verinova"));
    setWindowTitle(kTitle + QStringLiteral(" - ") + kMakersNotice);
    setWindowIcon(art("janela"));
    // The layout is fixed, so the window can be minimised but not resized.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(fromTwips(0, 0, 16350, 9540).size());

    Frame1 = new QGroupBox(QStringLiteral("Arquivo de Retorno"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(fromTwips(60, 60, 16230, 705));
    QFont captionFont(QStringLiteral("Sans Serif"));
    captionFont.setStyleHint(QFont::SansSerif);
    captionFont.setPointSizeF(8.25);
    QFont pathFont = captionFont;
    // Said outright, or the path box would inherit the frame's bold.
    pathFont.setBold(false);
    captionFont.setBold(true);
    Frame1->setFont(captionFont);
    // The caption sits on the frame's top line, so the controls placed inside
    // stay clear of the line.
    Frame1->setStyleSheet(QStringLiteral(
        "QGroupBox#Frame1 { border: 1px solid palette(mid); border-radius: 2px;"
        " margin-top: 6px; }"
        "QGroupBox#Frame1::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; padding: 0px 2px; }"));

    Command1 =
        pictureButton(Frame1, "Command1", QStringLiteral("Selecionar arquivo"),
                      fromTwips(90, 270, 345, 315), art("pasta-fechada"), kFolderPictureSize);
    Command1->setDownPicture(art("pasta-aberta"));
    Command1->setDisabledPicture(art("pasta-aberta-inativa"));

    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Arquivo de Retorno"));
    Text1->setGeometry(fromTwips(450, 270, 15630, 315));
    Text1->setFont(pathFont);

    F1Book1 = new SheetView(this);
    F1Book1->setObjectName(QStringLiteral("F1Book1"));
    F1Book1->setGeometry(fromTwips(60, 840, 16230, 8175));
    // Tab leaves the sheet for the next control instead of walking its cells.
    F1Book1->setTabKeyNavigation(false);

    Command4 =
        pictureButton(this, "Command4", QStringLiteral("Imprimir"), fromTwips(60, 9090, 1305, 375),
                      art("impressora"), kPrinterPictureSize);
    Command3 = pictureButton(this, "Command3", QStringLiteral("Otimizar"),
                             fromTwips(1440, 9090, 1305, 375), art("otimizar"), kWordPictureSize);
    Command2 = pictureButton(this, "Command2", QStringLiteral("Processar"),
                             fromTwips(13590, 9090, 1305, 375), art("processar"), kWordPictureSize);
    CmdSair = pictureButton(this, "CmdSair", QStringLiteral("Fechar"),
                            fromTwips(14970, 9090, 1305, 375), art("fechar"), kWordPictureSize);

    CommonDialog1 = new CommonDialog(*dialogs_, this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));

    // The frame takes no focus; the order starts at the path box.
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, CmdSair);
    setTabOrder(CmdSair, Command4);
    setTabOrder(Command4, F1Book1);
    setTabOrder(F1Book1, Command3);
    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Verinova::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Verinova::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Verinova::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Verinova::Command4_Click);
    connect(CmdSair, &QPushButton::clicked, this, &Verinova::CmdSair_Click);

    F1Book1->sheet().SetPrintHandler(makePrintHandler(dialogs_->printDialog(this)));
}

Verinova::~Verinova() = default;

void Verinova::setReturnFilePath(const QString& path)
{
    Text1->setText(path);
}

void Verinova::Command1_Click()
{
    const QString path = SelectArquivo();
    // A name the lookup cannot find, malformed ones included, leaves the box
    // as the user had it.
    if (!path.isEmpty() && PathCheck::findsFile(path))
        Text1->setText(path);
    F1Book1->setFocus();
}

void Verinova::Command2_Click()
{
    CommandOutcome outcome;
    {
        WaitCursor wait;
        outcome = ImportCommand::run(Text1->text(), F1Book1->sheet());
    }
    tell(outcome);
}

void Verinova::Command3_Click()
{
    CommandOutcome outcome;
    {
        WaitCursor wait;
        outcome = OptimizeCommand::run(Text1->text(), F1Book1->sheet());
    }
    tell(outcome);
}

void Verinova::Command4_Click()
{
    // No check and no message of its own: a cancelled dialog prints nothing,
    // and a failed printout is told by the print dialog.
    PrintCommand::run(F1Book1->sheet());
}

void Verinova::CmdSair_Click()
{
    close();
}

QString Verinova::SelectArquivo()
{
#ifdef Q_OS_WIN
    const QString initialFolder = QStringLiteral("C:\\");
#else
    const QString initialFolder = QDir::homePath();
#endif
    CommonDialog1->setInitDir(initialFolder);
    CommonDialog1->setDialogTitle(kTitle);
    CommonDialog1->showOpen(this);

    // Only a full path counts as a choice.
    QString path = CommonDialog1->fileName();
    if (!path.contains(QDir::separator()))
        return {};
    // No file name the system can look up is long enough for the cut to
    // need a limit.
    if (const qsizetype cut = path.indexOf(u';'); cut >= 0)
        path.truncate(cut);
    return path;
}

void Verinova::tell(const CommandOutcome& outcome)
{
    if (!outcome.succeeded())
        dialogs_->showCritical(this, CommandOutcome::messageTitle(), outcome.messageText());
}
