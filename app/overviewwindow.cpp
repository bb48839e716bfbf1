#include "app/overviewwindow.h"

#include "app/listtable.h"
#include "app/overviewmodel.h"
#include "app/windowdialogs.h"
#include "processing/commandoutcome.h"
#include "processing/folderoverviewtask.h"
#include "processing/overviewtable.h"
#include "processing/savetarget.h"
#include "sheet/export/tablefile.h"
#include "sheet/progress.h"
#include "sheet/sheettemplate.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

// Hands the reading thread's reports to the window's thread. Nothing here
// stops the reading: Cancelar does, through the task.
class OverviewWindow::Relay final : public Progress
{
public:
    Relay(OverviewWindow& window, Progress* watcher) : window_(window), watcher_(watcher) {}

    bool advance(int done, int total) override
    {
        if (watcher_ && !watcher_->advance(done, total))
            return false;
        QMetaObject::invokeMethod(
            &window_, [window = &window_, done, total] { window->showProgress(done, total); },
            Qt::QueuedConnection);
        return true;
    }

private:
    OverviewWindow& window_;
    Progress* watcher_;
};

OverviewWindow::OverviewWindow(const QString& folder, WindowDialogs& dialogs, QWidget* parent,
                               Progress* watcher)
    : QWidget(parent, Qt::Window), folder_(QDir::toNativeSeparators(folder)), dialogs_(dialogs),
      folderLabel_(new QLabel(this)), table_(new QTableView(this)), model_(new OverviewModel(this)),
      status_(new QLabel(this)), progress_(new QProgressBar(this)),
      cancel_(new QPushButton(QStringLiteral("&Cancelar"), this)),
      save_(new QPushButton(QStringLiteral("&Salvar como…"), this)),
      relay_(std::make_unique<Relay>(*this, watcher))
{
    setObjectName(QStringLiteral("VisaoGeral"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Visão geral de %1 - Verinova Cadastral").arg(folder_));

    folderLabel_->setText(QStringLiteral("Pasta: %1").arg(folder_));
    folderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    ListTable::prepare(*table_, model_, QStringLiteral("Arquivos da pasta"));
    // The files come in their names' order; the arrow says so from the start.
    table_->horizontalHeader()->setSortIndicator(OverviewModel::FileName, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    // Enter and a double click both activate a row.
    connect(table_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (index.isValid())
            Q_EMIT openRequested(QDir::toNativeSeparators(model_->entry(index.row()).path));
    });

    status_->setObjectName(QStringLiteral("situacao"));
    status_->setText(QStringLiteral("Lendo a pasta…"));
    progress_->setObjectName(QStringLiteral("progresso"));
    progress_->setAccessibleName(QStringLiteral("Arquivos lidos"));
    progress_->setRange(0, 0); // until the files are counted
    progress_->setFormat(QStringLiteral("%v de %m"));
    cancel_->setObjectName(QStringLiteral("Cancelar"));
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (task_)
            task_->cancel();
        cancel_->setEnabled(false);
        status_->setText(QStringLiteral("Cancelando…"));
    });

    save_->setObjectName(QStringLiteral("Salvar"));
    save_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save_->setEnabled(false);
    connect(save_, &QPushButton::clicked, this, &OverviewWindow::save);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(progress_);
    bottom->addWidget(cancel_);
    bottom->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folderLabel_);
    layout->addWidget(table_, 1);
    layout->addLayout(bottom);
    setTabOrder(table_, cancel_);
    setTabOrder(cancel_, save_);

    if (parent)
        resize(parent->window()->size() * 9 / 10);
    table_->setFocus();

    task_ = std::make_unique<FolderOverviewTask>(folder, relay_.get(), [this] {
        QMetaObject::invokeMethod(this, &OverviewWindow::takeResult, Qt::QueuedConnection);
    });
}

OverviewWindow::~OverviewWindow()
{
    task_.reset();
}

bool OverviewWindow::reading() const
{
    return task_ != nullptr;
}

void OverviewWindow::closeEvent(QCloseEvent* event)
{
    // Cancels and waits: the thread never outlives the window.
    task_.reset();
    QWidget::closeEvent(event);
}

void OverviewWindow::showProgress(int done, int total)
{
    if (!task_)
        return;
    progress_->setRange(0, total);
    progress_->setValue(done);
}

// Each column as wide as its heading and texts, but for three: the
// government's names are long and the CNPJ and date already say what they
// hold, a reason is not let push the counts off the screen, and a warning
// not widen the table far past them; all are elided, whole in their
// tooltips.
void OverviewWindow::fitColumns()
{
    table_->resizeColumnsToContents();
    QHeaderView* header = table_->horizontalHeader();
    const int digit = table_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    header->resizeSection(OverviewModel::FileName,
                          std::min(header->sectionSize(OverviewModel::FileName), 36 * digit));
    header->resizeSection(
        OverviewModel::Workers,
        std::min(header->sectionSize(OverviewModel::Workers),
                 std::max(header->sectionSizeHint(OverviewModel::Workers), 12 * digit)));
    header->resizeSection(OverviewModel::Note,
                          std::min(header->sectionSize(OverviewModel::Note), 60 * digit));
}

void OverviewWindow::takeResult()
{
    if (!task_)
        return;
    FolderOverview::Result result = task_->wait();
    task_.reset();
    const auto files = static_cast<int>(result.entries.size());
    const auto returns = static_cast<int>(
        std::count_if(result.entries.begin(), result.entries.end(),
                      [](const FolderOverview::Entry& entry) { return entry.counts.counted(); }));
    model_->setEntries(std::move(result.entries));
    const QHeaderView* header = table_->horizontalHeader();
    model_->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    fitColumns();
    if (model_->rowCount() > 0)
        table_->setCurrentIndex(model_->index(0, 0));

    progress_->hide();
    cancel_->hide();
    const QLocale locale = SheetTemplate::locale();
    QString told = result.complete() ? QStringLiteral("%1 arquivos, %2 de retorno.")
                                           .arg(locale.toString(files), locale.toString(returns))
                                     : FolderOverview::statusText(result.status);
    if (result.status == FolderOverview::Status::Cancelled)
        told += QStringLiteral(" %1 arquivos lidos.").arg(locale.toString(files));
    status_->setText(told);
    status_->setAccessibleName(told);
    save_->setEnabled(result.complete());
    Q_EMIT readingFinished();
}

// As the grid is saved: XLSX, CSV or PDF, by the name's extension or else
// the type chosen, the rows in the order shown.
void OverviewWindow::save()
{
    using Format = SheetFile::Format;
    const QString proposed = QDir(folder_).filePath(QStringLiteral("visao-geral.xlsx"));
    const std::optional<WindowDialogs::SaveChoice> choice = dialogs_.chooseFileToSave(
        this, QStringLiteral("Salvar como"), proposed, SheetFile::filters());
    if (!choice || choice->path.isEmpty())
        return;
    // The folder's own files are the office's returns: none is replaced.
    QStringList folderFiles;
    for (const FolderOverview::Entry& entry : model_->entries())
        folderFiles.append(entry.path);
    if (const QString refusal = SaveTarget::refusalText(
            choice->path, folderFiles, QStringLiteral("A visão geral não foi salva"),
            QStringLiteral("um dos arquivos da pasta"), QDir::toNativeSeparators(choice->path));
        !refusal.isEmpty()) {
        dialogs_.showCritical(this, CommandOutcome::messageTitle(), refusal);
        return;
    }
    const Format format = SheetFile::chosenFormat(choice->path, choice->filter);
    SheetFile::Result result;
    {
        const std::unique_ptr<Progress> progress =
            dialogs_.progress(this, SheetFile::progressLabel(format));
        result = TableFile::save(OverviewTable::of(model_->entries()), choice->path, format,
                                 progress.get());
    }
    if (result.status == SheetFile::Result::Status::Failed)
        dialogs_.showCritical(this, CommandOutcome::messageTitle(), result.error);
}
