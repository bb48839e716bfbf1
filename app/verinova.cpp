#include "app/verinova.h"

#include "app/commondialog.h"
#include "app/picturebutton.h"
#ifdef VERINOVA_PRERENDERED_ART
#include "app/bitmapiconengine.h"
#else
#include "app/svgiconengine.h"
#endif
#include "app/systemdialogs.h"
#include "processing/importcommand.h"
#include "processing/optimizecommand.h"
#include "processing/pathcheck.h"
#include "processing/printcommand.h"
#include "sheet/export/sheetfile.h"
#include "sheet/grid/sheetview.h"
#include "sheet/print/printhandler.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"
#include "system/fileidentity.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <new>
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

// The logical dots per inch the window is laid out for: a twip is 1/1440 of
// a logical inch, 15 to a pixel at the usual 96 dpi. Where only the fonts are
// made larger (a font dpi of 192 on a screen that is not scaled), fewer
// twips make a pixel and every control grows with the text it holds; the
// scaling of a high-density screen is Qt's own and leaves this at 96.
constexpr int kDesignedDpi = 1440 / Verinova::kTwipsPerPixel;

QRect fromTwips(int left, int top, int width, int height, int dpi)
{
    const auto pixels = [dpi](int twips) { return twips * dpi / 1440; };
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

QSize scaled(QSize designed, int dpi)
{
    return designed * dpi / kDesignedDpi;
}

// The place a control designed at `designed` in a parent of `designedParent`
// takes in a parent of `parent`, following the parent's `edges`.
QRect anchoredPlace(QRect designed, QSize designedParent, QSize parent, Qt::Edges edges)
{
    const QSize grown = parent - designedParent;
    if (edges.testFlag(Qt::RightEdge)) {
        if (edges.testFlag(Qt::LeftEdge))
            designed.setWidth(designed.width() + grown.width());
        else
            designed.translate(grown.width(), 0);
    }
    if (edges.testFlag(Qt::BottomEdge)) {
        if (edges.testFlag(Qt::TopEdge))
            designed.setHeight(designed.height() + grown.height());
        else
            designed.translate(0, grown.height());
    }
    return designed;
}

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

// A plain widget is a client area to assistive technology ("filler" to
// AT-SPI), where screen readers do not look for an application's window.
QAccessibleInterface* accessibleWindow(const QString& className, QObject* object)
{
    if (className == QLatin1String("Verinova") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
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
    [[maybe_unused]] static const bool told = [] {
        QAccessible::installFactory(accessibleWindow);
        return true;
    }();
    setObjectName(QStringLiteral("Verinova"));
    setWindowTitle(kTitle + QStringLiteral(" - ") + kMakersNotice);
    setWindowIcon(art("janela"));
    // Never smaller than designed: below 96 dpi the pictures would blur.
    const int dpi = std::max(logicalDpiY(), kDesignedDpi);
    const auto twips = [dpi](int left, int top, int width, int height) {
        return fromTwips(left, top, width, height, dpi);
    };
    // The client area as designed, and the least one that keeps every
    // control usable: both button pairs whole with a button's width between
    // them, and the sheet 2400 twips high, a header and several rows.
    resize(twips(0, 0, 16350, 9540).size());
    setMinimumSize(twips(0, 0, 2745 + 1305 + 2760, 840 + 2400 + 525).size());

    Frame1 = new QGroupBox(QStringLiteral("Arquivo de Retorno"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(60, 60, 16230, 705));
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
    const auto px = [dpi](int designed) { return QString::number(designed * dpi / kDesignedDpi); };
    Frame1->setStyleSheet(
        QStringLiteral("QGroupBox#Frame1 { border: 1px solid palette(mid); border-radius: 2px;"
                       " margin-top: %1px; }"
                       "QGroupBox#Frame1::title { subcontrol-origin: margin;"
                       " subcontrol-position: top left; left: %1px; padding: 0px %2px; }")
            .arg(px(6), px(2)));

    Command1 = pictureButton(Frame1, "Command1", QStringLiteral("Selecionar arquivo"),
                             twips(90, 270, 345, 315), art("pasta-fechada"),
                             scaled(kFolderPictureSize, dpi));
    Command1->setDownPicture(art("pasta-aberta"));
    Command1->setDisabledPicture(art("pasta-aberta-inativa"));

    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Arquivo de Retorno"));
    Text1->setGeometry(twips(450, 270, 15630, 315));
    Text1->setFont(pathFont);

    F1Book1 = new SheetView(this);
    F1Book1->setObjectName(QStringLiteral("F1Book1"));
    F1Book1->setGeometry(twips(60, 840, 16230, 8175));
    // Tab leaves the sheet for the next control instead of walking its cells.
    F1Book1->setTabKeyNavigation(false);

    Command4 =
        pictureButton(this, "Command4", QStringLiteral("Imprimir"), twips(60, 9090, 1305, 375),
                      art("impressora"), scaled(kPrinterPictureSize, dpi));
    Command3 =
        pictureButton(this, "Command3", QStringLiteral("Otimizar"), twips(1440, 9090, 1305, 375),
                      art("otimizar"), scaled(kWordPictureSize, dpi));
    Command2 =
        pictureButton(this, "Command2", QStringLiteral("Processar"), twips(13590, 9090, 1305, 375),
                      art("processar"), scaled(kWordPictureSize, dpi));
    CmdSair =
        pictureButton(this, "CmdSair", QStringLiteral("Fechar"), twips(14970, 9090, 1305, 375),
                      art("fechar"), scaled(kWordPictureSize, dpi));

    constexpr Qt::Edges kAcross = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge;
    anchor(Frame1, kAcross);
    anchor(Text1, kAcross);
    anchor(F1Book1, kAcross | Qt::BottomEdge);
    anchor(Command4, Qt::LeftEdge | Qt::BottomEdge);
    anchor(Command3, Qt::LeftEdge | Qt::BottomEdge);
    anchor(Command2, Qt::RightEdge | Qt::BottomEdge);
    anchor(CmdSair, Qt::RightEdge | Qt::BottomEdge);

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

    connect(F1Book1, &SheetView::saveRequested, this, &Verinova::saveSheet);
    connect(F1Book1, &SheetView::findRequested, this, &Verinova::findText);
    connect(F1Book1, &SheetView::findNextRequested, this, &Verinova::findNextText);
    connect(F1Book1, &SheetView::filterRequested, this, &Verinova::filterColumn);
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
    if (fitted_ || !isWindow())
        return;
    fitted_ = true;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    // X11 window managers add the title bar and borders only after the
    // window is shown: until then a frame no smaller than a usual one is
    // assumed, and the fitting is done again once the real one is known.
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    const QMargins reported = frameMargins();
    fittedFrame_ =
        QMargins(std::max(reported.left(), border), std::max(reported.top(), titleBar),
                 std::max(reported.right(), border), std::max(reported.bottom(), border));
    fitInto(availableArea(), fittedFrame_);
}

bool Verinova::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    // The first frame the window system reports after showing, if it is not
    // the one assumed: fitted again, once, so that the user's own moves and
    // sizes are never undone.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && fitted_ &&
        !refitted_ && isVisible() &&
        !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const QMargins frame = frameMargins();
        if (!frame.isNull() && frame != fittedFrame_) {
            refitted_ = true;
            fittedFrame_ = frame;
            // After the window manager has done with the event that told
            // the frame, or its own placement undoes the fitting.
            QMetaObject::invokeMethod(
                this, [this] { fitInto(availableArea(), fittedFrame_); }, Qt::QueuedConnection);
        }
    }
    return handled;
}

void Verinova::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // In the order anchored: the frame takes its size before the path box in
    // it is placed.
    for (const Anchored& control : anchored_)
        control.widget->setGeometry(anchoredPlace(control.designed, control.designedParent,
                                                  control.widget->parentWidget()->size(),
                                                  control.edges));
}

void Verinova::anchor(QWidget* widget, Qt::Edges edges)
{
    anchored_.push_back({widget, widget->geometry(), widget->parentWidget()->size(), edges});
}

// The title bar and borders around the window, as the window system reports them.
QMargins Verinova::frameMargins() const
{
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// Shrinks the window, title bar and borders (`frame`) included, to the area
// when it is larger, never below the minimum size, and moves it into the
// area.
void Verinova::fitInto(const QRect& area, const QMargins& frame)
{
    if (area.isEmpty())
        return;
    const QSize fitted = size().boundedTo(area.size().shrunkBy(frame)).expandedTo(minimumSize());
    const QSize whole = fitted.grownBy(frame);
    const QPoint outer = geometry().topLeft() - QPoint(frame.left(), frame.top());
    const QPoint inside(
        std::max(area.left(), std::min(outer.x(), area.right() + 1 - whole.width())),
        std::max(area.top(), std::min(outer.y(), area.bottom() + 1 - whole.height())));
    const bool shrunk = fitted != size();
    if (shrunk)
        resize(fitted);
    // After a shrink the place is said even when unchanged: the platform may
    // have placed the window for its designed size.
    if (shrunk || inside != outer)
        move(inside);
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
        // A load replaces the rows and so shows them all in the file's
        // order; an import that ends before it (no file, a file that is not
        // a return file) leaves the clerk's filter and sort as they were.
        outcome = ImportCommand::run(Text1->text(), F1Book1->sheet());
    }
    // A failed import leaves the sheet, and so the file it came from, as it was.
    if (outcome.succeeded()) {
        loadedFile_ = QFileInfo(Text1->text()).absoluteFilePath();
        F1Book1->setRowNouns(QStringLiteral("trabalhador"), QStringLiteral("trabalhadores"));
    }
    tell(outcome);
    // What the load found odd in the file (no worker, no heading, joined
    // files, lines without the 21 fields) is said once, after the load.
    if (const QString warning = outcome.warningText(); !warning.isEmpty())
        dialogs_->showCritical(this, CommandOutcome::messageTitle(), warning);
}

void Verinova::Command3_Click()
{
    CommandOutcome outcome;
    {
        WaitCursor wait;
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

QString Verinova::SelectArquivo()
{
#ifdef Q_OS_WIN
    QString folder = QStringLiteral("C:\\");
#else
    QString folder = QDir::homePath();
#endif
    // Once a return file is loaded, the next one is looked for beside it.
    if (const QFileInfo loaded(loadedFile_);
        !loadedFile_.isEmpty() && loaded.absoluteDir().exists())
        folder = QDir::toNativeSeparators(loaded.absolutePath());
    CommonDialog1->setInitDir(folder);
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

void Verinova::saveSheet()
{
    using Format = SheetFile::Format;
    constexpr Format kFormats[] = {Format::Xlsx, Format::Csv, Format::Pdf};
    QStringList filters;
    for (const Format format : kFormats)
        filters.append(SheetFile::filter(format));

    const std::optional<WindowDialogs::SaveChoice> choice = dialogs_->chooseFileToSave(
        this, QStringLiteral("Salvar como"), proposedFile(Format::Xlsx), filters);
    if (!choice || choice->path.isEmpty())
        return;
    // Saving over the return file the sheet came from would lose it for good.
    if (FileIdentity::same(choice->path, loadedFile_)) {
        dialogs_->showCritical(this, CommandOutcome::messageTitle(),
                               QStringLiteral("O resultado não foi salvo: \"%1\" é o arquivo de "
                                              "retorno carregado e seria perdido. Escolha outro "
                                              "nome.")
                                   .arg(QDir::toNativeSeparators(choice->path)));
        return;
    }
    // The name's extension says the format; a name with another one is
    // written in the type chosen in the dialog.
    const Format format =
        SheetFile::formatOf(choice->path)
            .value_or(kFormats[std::max<qsizetype>(filters.indexOf(choice->filter), 0)]);

    SheetFile::Result result;
    {
        const std::unique_ptr<Progress> progress = dialogs_->progress(
            this, format == Format::Pdf ? QStringLiteral("Salvando página %1 de %2")
                                        : QStringLiteral("Salvando linha %1 de %2"));
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
        WaitCursor wait;
        found = F1Book1->find(lastFound_);
    }
    if (found == SheetView::Found::Nothing)
        dialogs_->showInformation(this, QStringLiteral("Localizar"),
                                  QStringLiteral("Nenhuma célula contém \"%1\".").arg(lastFound_));
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
        WaitCursor wait;
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
    WaitCursor wait;
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
