#include "app/verinova.h"

#include "app/commondialog.h"
#include "app/comparisonwindow.h"
#include "app/overviewwindow.h"
#include "app/picturebutton.h"
#ifdef VERINOVA_PRERENDERED_ART
#include "app/bitmapiconengine.h"
#else
#include "app/svgiconengine.h"
#endif
#include "app/systemdialogs.h"
#include "app/windowaccessible.h"
#include "processing/earlierreturn.h"
#include "processing/optimizecommand.h"
#include "processing/pathcheck.h"
#include "processing/printcommand.h"
#include "processing/returncomparison.h"
#include "processing/returnfilejob.h"
#include "processing/savetarget.h"
#include "sheet/export/sheetfile.h"
#include "sheet/grid/sheetview.h"
#include "sheet/grid/waitcursor.h"
#include "sheet/print/printhandler.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"
#include "system/fileidentity.h"

#include <QAccessible>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QScreen>

#include <algorithm>
#include <new>
#include <optional>
#include <stdexcept>
#include <utility>

namespace {
// The window's title before the maker's notice.
const QString kTitle = QStringLiteral("Verinova Cadastral");
const QString kMakersNotice = QStringLiteral("© 2026 Projeto Verinova Cadastral");

// Word pictures and the printer are drawn at these sizes (at 96 dpi)
// whatever the size of their buttons; a word picture is taller than its
// button and is clipped.
constexpr QSize kWordPictureSize(71, 33);
constexpr QSize kPrinterPictureSize(25, 25);
constexpr QSize kFolderPictureSize(16, 16);

QIcon art(const char* name)
{
#ifdef VERINOVA_PRERENDERED_ART
    return BitmapIconEngine::icon(QStringLiteral(":/art"), QString::fromLatin1(name));
#else
    return SvgIconEngine::icon(QStringLiteral(":/art/") + QString::fromLatin1(name) +
                               QStringLiteral(".svg"));
#endif
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
} // namespace

Verinova::Verinova(std::unique_ptr<WindowDialogs> dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs ? std::move(dialogs) : std::make_unique<SystemDialogs>()),
      layout_(*this, [this] { return availableArea(); })
{
    introduceItself();
    placeTheFileChoice();
    placeTheSheetAndItsButtons();
    keepTheControlsOnTheirEdges();
    orderTheTabs();
    runTheCommandsOnClicksAndKeys();
    followTheSheetsRequests();
}

// Its name, title, picture and designed size; to assistive technology, a
// window.
void Verinova::introduceItself()
{
    [[maybe_unused]] static const bool told = [] {
        QAccessible::installFactory(&WindowAccessible::create);
        return true;
    }();
    setObjectName(QStringLiteral("Verinova"));
    setWindowTitle(kTitle + QStringLiteral(" - ") + kMakersNotice);
    setWindowIcon(art("janela"));
    // The client area as designed, and the least one that keeps every
    // control usable: both button pairs whole with a button's width between
    // them, and the sheet 2400 twips high, a header and several rows.
    resize(layout_.twips(0, 0, 16350, 9540).size());
    setMinimumSize(layout_.twips(0, 0, 2745 + 1305 + 2760, 840 + 2400 + 525).size());
}

// The "Arquivo de Retorno" frame with the folder button and the path box.
void Verinova::placeTheFileChoice()
{
    Frame1 = new QGroupBox(QStringLiteral("Arquivo de Retorno"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(layout_.twips(60, 60, 16230, 705));
    QFont captionFont(QStringLiteral("Sans Serif"));
    captionFont.setStyleHint(QFont::SansSerif);
    captionFont.setPointSizeF(8.25);
    QFont pathFont = captionFont;
    // Said outright, or the path box would inherit the frame's bold.
    pathFont.setBold(false);
    captionFont.setBold(true);
    Frame1->setFont(captionFont);
    // The caption sits on the frame's top line, so the controls placed inside
    // stay clear of the line; its room grows with its font.
    const auto px = [this](int designed) { return QString::number(layout_.scaled(designed)); };
    Frame1->setStyleSheet(
        QStringLiteral("QGroupBox#Frame1 { border: 1px solid palette(mid); border-radius: 2px;"
                       " margin-top: %1px; }"
                       "QGroupBox#Frame1::title { subcontrol-origin: margin;"
                       " subcontrol-position: top left; left: %1px; padding: 0px %2px; }")
            .arg(px(6), px(2)));

    Command1 = pictureButton(Frame1, "Command1", QStringLiteral("Selecionar arquivo"),
                             layout_.twips(90, 270, 345, 315), art("pasta-fechada"),
                             layout_.scaled(kFolderPictureSize));
    Command1->setDownPicture(art("pasta-aberta"));
    Command1->setDisabledPicture(art("pasta-aberta-inativa"));

    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Arquivo de Retorno"));
    Text1->setGeometry(layout_.twips(450, 270, 15630, 315));
    Text1->setFont(pathFont);

    CommonDialog1 = new CommonDialog(*dialogs_, this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));
}

// The result sheet, and the command buttons under it: the printer and
// Otimizar on the left, Processar and Fechar on the right.
void Verinova::placeTheSheetAndItsButtons()
{
    F1Book1 = new SheetView(this);
    F1Book1->setObjectName(QStringLiteral("F1Book1"));
    F1Book1->setGeometry(layout_.twips(60, 840, 16230, 8175));
    // Tab leaves the sheet for the next control instead of walking its cells.
    F1Book1->setTabKeyNavigation(false);

    Command4 = pictureButton(this, "Command4", QStringLiteral("Imprimir"),
                             layout_.twips(60, 9090, 1305, 375), art("impressora"),
                             layout_.scaled(kPrinterPictureSize));
    Command3 = pictureButton(this, "Command3", QStringLiteral("Otimizar"),
                             layout_.twips(1440, 9090, 1305, 375), art("otimizar"),
                             layout_.scaled(kWordPictureSize));
    Command2 = pictureButton(this, "Command2", QStringLiteral("Processar"),
                             layout_.twips(13590, 9090, 1305, 375), art("processar"),
                             layout_.scaled(kWordPictureSize));
    CmdSair = pictureButton(this, "CmdSair", QStringLiteral("Fechar"),
                            layout_.twips(14970, 9090, 1305, 375), art("fechar"),
                            layout_.scaled(kWordPictureSize));
}

void Verinova::keepTheControlsOnTheirEdges()
{
    constexpr Qt::Edges kAcross = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge;
    layout_.anchor(Frame1, kAcross);
    layout_.anchor(Text1, kAcross);
    layout_.anchor(F1Book1, kAcross | Qt::BottomEdge);
    layout_.anchor(Command4, Qt::LeftEdge | Qt::BottomEdge);
    layout_.anchor(Command3, Qt::LeftEdge | Qt::BottomEdge);
    layout_.anchor(Command2, Qt::RightEdge | Qt::BottomEdge);
    layout_.anchor(CmdSair, Qt::RightEdge | Qt::BottomEdge);
}

void Verinova::orderTheTabs()
{
    // The frame takes no focus; the order starts at the path box.
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, CmdSair);
    setTabOrder(CmdSair, Command4);
    setTabOrder(Command4, F1Book1);
    setTabOrder(F1Book1, Command3);
    Text1->setFocus();
}

void Verinova::runTheCommandsOnClicksAndKeys()
{
    connect(Command1, &QPushButton::clicked, this, &Verinova::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Verinova::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Verinova::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Verinova::Command4_Click);
    connect(CmdSair, &QPushButton::clicked, this, &Verinova::CmdSair_Click);

    // Keys for the buttons' commands, anywhere in the window, as a click on
    // the button. The buttons keep no tooltip; screen readers are told the
    // key as the button's key binding. Fechar takes the key that closes any
    // window, which is what it does: one key fewer to learn, and Escape stays
    // free of it.
    const std::pair<PictureButton*, QKeySequence> keys[] = {
        {Command1, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {Command2, QKeySequence(Qt::Key_F5)},
        {Command3, QKeySequence(Qt::Key_F6)},
        {Command4, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {CmdSair, QKeySequence(Qt::ALT | Qt::Key_F4)},
    };
    for (const auto& [button, key] : keys)
        button->setKey(key);
}

// Saving, finding, filtering and printing, asked for in the sheet, go
// through the window's dialogs.
void Verinova::followTheSheetsRequests()
{
    connect(F1Book1, &SheetView::saveRequested, this, &Verinova::saveSheet);
    connect(F1Book1, &SheetView::findRequested, this, &Verinova::findText);
    connect(F1Book1, &SheetView::findNextRequested, this, &Verinova::findNextText);
    connect(F1Book1, &SheetView::filterRequested, this, &Verinova::filterColumn);
    connect(F1Book1, &SheetView::folderOverviewRequested, this, &Verinova::showFolderOverview);
    connect(F1Book1, &SheetView::comparisonRequested, this, &Verinova::compareWithEarlier);
    connect(F1Book1, &SheetView::memoryShort, this, [this](const QString& message) {
        dialogs_->showCritical(this, CommandOutcome::messageTitle(), message);
    });

    F1Book1->sheet().SetPrintHandler(makePrintHandler(
        dialogs_->printDialog(this, [this] { return proposedFile(SheetFile::Format::Pdf); }),
        [this] { return dialogs_->progress(this, QStringLiteral("Imprimindo página %1 de %2")); }));
}

Verinova::~Verinova() = default;

void Verinova::setReturnFilePath(const QString& path)
{
    Text1->setText(path);
}

QRect Verinova::availableArea() const
{
    const QScreen* shownOn = screen();
    return shownOn ? shownOn->availableGeometry() : QRect();
}

void Verinova::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    layout_.windowShown();
}

bool Verinova::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        layout_.windowMoved();
    return handled;
}

void Verinova::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layout_.placeAnchored();
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
    ReturnFileJob::Done done;
    {
        const WaitCursor wait;
        // A load replaces the rows and so shows them all in the file's
        // order; an import that ends before it (no file, a file that is not
        // a return file) leaves the clerk's filter and sort as they were.
        done = ReturnFileJob::run(Text1->text(), F1Book1->sheet(), false);
    }
    // A failed import leaves the sheet, and so the file it came from, as it was.
    if (done.outcome.succeeded()) {
        loadedFile_ = QFileInfo(Text1->text()).absoluteFilePath();
        F1Book1->setRowNouns(QStringLiteral("trabalhador"), QStringLiteral("trabalhadores"));
    }
    tell(done.outcome);
    // What the load found odd in the file is said once, after the load.
    if (!done.warning.isEmpty())
        dialogs_->showCritical(this, CommandOutcome::messageTitle(), done.warning);
}

void Verinova::Command3_Click()
{
    CommandOutcome outcome;
    {
        const WaitCursor wait;
        F1Book1->sheet().ClearFilters();
        outcome = OptimizeCommand::run(Text1->text(), F1Book1->sheet());
    }
    if (outcome.succeeded())
        F1Book1->setRowNouns(QStringLiteral("trabalhador com problemas"),
                             QStringLiteral("trabalhadores com problemas"));
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

QString Verinova::startingFolder() const
{
    // Once a return file is loaded, the next one is looked for beside it.
    if (const QFileInfo loaded(loadedFile_);
        !loadedFile_.isEmpty() && loaded.absoluteDir().exists())
        return QDir::toNativeSeparators(loaded.absolutePath());
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\");
#else
    return QDir::homePath();
#endif
}

QString Verinova::SelectArquivo()
{
    CommonDialog1->setInitDir(startingFolder());
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

void Verinova::showFolderOverview()
{
    const QString folder =
        dialogs_->chooseFolder(this, QStringLiteral("Visão geral de uma pasta"), startingFolder());
    if (folder.isEmpty())
        return;
    auto* overview = new OverviewWindow(folder, *dialogs_, this);
    // Fechar ends the program even with overviews open; they go with the
    // window, each stopping its reading.
    overview->setAttribute(Qt::WA_QuitOnClose, false);
    connect(overview, &OverviewWindow::openRequested, this, &Verinova::openFromOverview);
    overview->show();
}

// As the clerk would: the path into the box, then Processar, with its
// messages and its care for the sheet.
void Verinova::openFromOverview(const QString& path)
{
    Text1->setText(path);
    Command2->click();
    activateWindow();
    raise();
}

// The return the sheet came from, compared with an earlier one the clerk
// chooses: the newest earlier return of its company in its folder is
// offered first. Both files are read again, whatever the sheet now shows.
void Verinova::compareWithEarlier()
{
    const QString title = QStringLiteral("Comparar com o retorno anterior");
    if (loadedFile_.isEmpty()) {
        dialogs_->showInformation(
            this, title,
            QStringLiteral("Processe primeiro o retorno atual; depois compare-o com o anterior."));
        return;
    }
    const QString offered = EarlierReturn::newestBefore(loadedFile_);
    QString earlier =
        dialogs_->chooseFileToOpen(this, title, offered.isEmpty() ? startingFolder() : offered);
    if (earlier.isEmpty())
        return;
    if (ReturnFileJob::savesOver(earlier, loadedFile_)) {
        dialogs_->showCritical(this, CommandOutcome::messageTitle(),
                               QStringLiteral("O arquivo escolhido é o próprio retorno atual. "
                                              "Escolha um retorno anterior."));
        return;
    }
    // What changed runs from the older return to the newer, whichever of the
    // two the grid holds, when their names say which is which.
    QString current = loadedFile_;
    if (EarlierReturn::madeAfter(earlier, current))
        std::swap(earlier, current);
    using Side = ReturnComparison::Side;
    std::optional<ReturnComparison> comparison;
    try {
        const WaitCursor wait;
        comparison.emplace(ReturnComparison::compare(earlier, current));
    } catch (const std::bad_alloc&) {
        dialogs_->showCritical(this, CommandOutcome::messageTitle(),
                               QStringLiteral("Memória insuficiente para comparar os retornos."));
        return;
    }
    for (const Side side : {Side::Earlier, Side::Current}) {
        const QString file = QDir::toNativeSeparators(side == Side::Earlier ? earlier : current);
        // A file without a worker, a failed download, would make every
        // worker of the other look gone or new: no comparison is shown.
        QString refusal;
        if (!comparison->succeeded() && comparison->failedSide() == side)
            refusal = comparison->outcome(side).messageText();
        else if (comparison->succeeded() && comparison->outcome(side).noWorkers)
            refusal = comparison->warning(side);
        if (!refusal.isEmpty()) {
            dialogs_->showCritical(this, CommandOutcome::messageTitle(),
                                   QStringLiteral("%1\n\n%2").arg(file, refusal));
            return;
        }
    }
    auto* window = new ComparisonWindow(std::move(*comparison), earlier, current, *dialogs_, this);
    // As an overview: it goes with the main window.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->show();
}

void Verinova::tell(const CommandOutcome& outcome)
{
    if (!outcome.succeeded())
        dialogs_->showCritical(this, CommandOutcome::messageTitle(), outcome.messageText());
}

void Verinova::saveSheet()
{
    using Format = SheetFile::Format;
    const std::optional<WindowDialogs::SaveChoice> choice = dialogs_->chooseFileToSave(
        this, QStringLiteral("Salvar como"), proposedFile(Format::Xlsx), SheetFile::filters());
    if (!choice || choice->path.isEmpty())
        return;
    if (const QString refusal = SaveTarget::refusalText(
            choice->path, {loadedFile_}, QStringLiteral("O resultado não foi salvo"),
            QStringLiteral("o arquivo de retorno carregado"),
            QDir::toNativeSeparators(choice->path));
        !refusal.isEmpty()) {
        dialogs_->showCritical(this, CommandOutcome::messageTitle(), refusal);
        return;
    }
    const Format format = SheetFile::chosenFormat(choice->path, choice->filter);

    SheetFile::Result result;
    {
        const std::unique_ptr<Progress> progress =
            dialogs_->progress(this, SheetFile::progressLabel(format));
        result = SheetFile::save(F1Book1->sheet(), choice->path, format, progress.get());
    }
    if (result.status == SheetFile::Result::Status::Failed)
        dialogs_->showCritical(this, CommandOutcome::messageTitle(), result.error);
}

// Beside the return file whose rows the sheet holds, and named after it:
// the path box may already name another one. The home folder before any
// file was loaded, or when its folder is gone.
QString Verinova::proposedFile(SheetFile::Format format) const
{
    const QFileInfo loaded(loadedFile_);
    const bool besideReturnFile = !loadedFile_.isEmpty() && loaded.absoluteDir().exists();
    const QString folder = besideReturnFile ? loaded.absolutePath() : QDir::homePath();
    const QString name = loadedFile_.isEmpty() ? SheetTemplate::sheetName() + QLatin1Char('.') +
                                                     SheetFile::extension(format)
                                               : SheetFile::resultName(loadedFile_, format);
    return QDir(folder).filePath(name);
}

namespace {
// The search looks at the rows shown alone: with some filtered out, it
// cannot say that no cell holds the text.
QString notFoundText(const ResultSheet& sheet, const QString& text)
{
    const int hidden = sheet.RowCount() - sheet.ShownRowCount();
    if (hidden <= 0)
        return QStringLiteral("Nenhuma célula contém \"%1\".").arg(text);
    return QStringLiteral("Nenhuma célula das linhas mostradas contém \"%1\"; o filtro oculta %2.")
        .arg(text, hidden == 1
                       ? QStringLiteral("1 linha")
                       : QStringLiteral("%1 linhas").arg(SheetTemplate::locale().toString(hidden)));
}
} // namespace

void Verinova::findText()
{
    const std::optional<QString> text = dialogs_->askText(this, QStringLiteral("Localizar"),
                                                          QStringLiteral("Localizar:"), lastFound_);
    if (!text || text->isEmpty())
        return;
    lastFound_ = *text;
    findNextText();
}

void Verinova::findNextText()
{
    if (lastFound_.isEmpty()) {
        findText();
        return;
    }
    SheetView::Found found;
    {
        const WaitCursor wait;
        found = F1Book1->find(lastFound_);
    }
    if (found == SheetView::Found::Nothing)
        dialogs_->showInformation(this, QStringLiteral("Localizar"),
                                  notFoundText(F1Book1->sheet(), lastFound_));
    else if (found == SheetView::Found::AfterTheTop) {
        const QString wrapped = QStringLiteral("A busca recomeçou do início.");
        dialogs_->showNotice(F1Book1, wrapped);
        F1Book1->announce(wrapped);
    }
}

void Verinova::chooseFilter(int col)
{
    ResultSheet& sheet = F1Book1->sheet();
    std::vector<ColumnValues::Value> values;
    {
        const WaitCursor wait;
        values = ColumnValues::of(sheet, col);
    }
    // A column without a filter lets every text through.
    const std::set<std::string>* now = nullptr;
    if (const auto at = sheet.Filter().columns().find(col); at != sheet.Filter().columns().end())
        now = &at->second;
    std::vector<bool> chosen(values.size(), true);
    if (now) {
        for (std::size_t i = 0; i < values.size(); ++i)
            chosen[i] = now->contains(std::string(values[i].utf8));
    }
    const std::optional<std::vector<bool>> answer =
        dialogs_->chooseTexts(this, SheetTemplate::heading(col), values, std::move(chosen));
    if (!answer || answer->size() != values.size())
        return;
    const WaitCursor wait;
    if (std::all_of(answer->begin(), answer->end(), [](bool on) { return on; })) {
        sheet.ClearColumnFilter(col);
        return;
    }
    std::set<std::string> texts;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if ((*answer)[i])
            texts.emplace(values[i].utf8);
    }
    sheet.SetColumnFilter(col, std::move(texts));
}

void Verinova::filterColumn(int col)
{
    // Memory may run out listing a column's texts, in the list itself or
    // filtering by it: the filter and the rows stay as they were.
    try {
        chooseFilter(col);
        return;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    dialogs_->showCritical(
        this, CommandOutcome::messageTitle(),
        QStringLiteral("Memória insuficiente para filtrar as linhas pela coluna %1.")
            .arg(SheetTemplate::heading(col)));
}
