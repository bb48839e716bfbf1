#include "app/comparisonwindow.h"

#include "app/comparisonmodel.h"
#include "app/listtable.h"
#include "app/windowdialogs.h"
#include "processing/commandoutcome.h"
#include "processing/comparisontable.h"
#include "processing/returnfilename.h"
#include "processing/savetarget.h"
#include "sheet/export/tablefile.h"
#include "sheet/progress.h"
#include "sheet/sheettemplate.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <tuple>

namespace {
using Situation = ReturnComparison::Situation;

// The filter's first choice lists every worker; the others, one situation
// each, in the situations' order.
std::optional<Situation> situationOf(int choice)
{
    if (choice <= 0)
        return std::nullopt;
    return static_cast<Situation>(choice - 1);
}
} // namespace

ComparisonWindow::ComparisonWindow(ReturnComparison comparison, const QString& earlierPath,
                                   const QString& currentPath, WindowDialogs& dialogs,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window), comparison_(std::move(comparison)),
      earlierPath_(QDir::toNativeSeparators(earlierPath)),
      currentPath_(QDir::toNativeSeparators(currentPath)), dialogs_(dialogs),
      counts_(new QLabel(this)), situation_(new QComboBox(this)), table_(new QTableView(this)),
      model_(new ComparisonModel(comparison_, this)), before_(new QPlainTextEdit(this)),
      now_(new QPlainTextEdit(this)), status_(new QLabel(this)),
      save_(new QPushButton(QStringLiteral("&Salvar como…"), this))
{
    setObjectName(QStringLiteral("Comparacao"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Comparação de %1 - Verinova Cadastral")
                       .arg(QFileInfo(currentPath_).fileName()));
    const QLocale locale = SheetTemplate::locale();

    auto* files = new QLabel(this);
    files->setObjectName(QStringLiteral("arquivos"));
    files->setTextFormat(Qt::PlainText);
    files->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A half-screen window clips the long names rather than leaving the screen.
    files->setWordWrap(true);
    files->setText(QStringLiteral("Atual: %1\nAnterior: %2")
                       .arg(describedFile(currentPath_), describedFile(earlierPath_)));
    // What either import found odd, as Processar warns of it. The import's
    // words speak of "O Arquivo Selecionado", which here may be the earlier
    // return: each is told after the line that names its file.
    QStringList warnings;
    for (const auto side : {ReturnComparison::Side::Current, ReturnComparison::Side::Earlier})
        if (!comparison_.warning(side).isEmpty())
            warnings.append((side == ReturnComparison::Side::Current
                                 ? QStringLiteral("Atual: ")
                                 : QStringLiteral("Anterior: ")) +
                            comparison_.warning(side));
    auto* warning = new QLabel(warnings.join(u'\n'), this);
    warning->setObjectName(QStringLiteral("aviso"));
    warning->setTextFormat(Qt::PlainText);
    warning->setWordWrap(true);
    warning->setVisible(!warnings.isEmpty());

    QStringList counts;
    situation_->setObjectName(QStringLiteral("situacao"));
    situation_->addItem(
        QStringLiteral("Todos os trabalhadores (%1)")
            .arg(locale.toString(static_cast<qlonglong>(comparison_.entries().size()))));
    for (int i = 0; i < ReturnComparison::kSituationCount; ++i) {
        const auto situation = static_cast<Situation>(i);
        const QString count = locale.toString(comparison_.count(situation));
        counts.append(ReturnComparison::situationText(situation) + QStringLiteral(": ") + count);
        situation_->addItem(
            QStringLiteral("%1 (%2)").arg(ReturnComparison::situationText(situation), count));
    }
    counts_->setObjectName(QStringLiteral("contagens"));
    counts_->setTextFormat(Qt::PlainText);
    counts_->setWordWrap(true);
    counts_->setText(counts.join(QStringLiteral("   ·   ")));
    QFont bold = counts_->font();
    bold.setBold(true);
    counts_->setFont(bold);
    auto* situationLabel = new QLabel(QStringLiteral("&Mostrar:"), this);
    situationLabel->setBuddy(situation_);
    situation_->setAccessibleName(QStringLiteral("Mostrar"));
    connect(situation_, &QComboBox::currentIndexChanged, this, &ComparisonWindow::showSituation);

    ListTable::prepare(*table_, model_, QStringLiteral("Trabalhadores comparados"));
    // No arrow at first: the workers in the files' order, where a third click
    // on a heading brings them back.
    table_->horizontalHeader()->setSortIndicatorClearable(true);
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    // The worker at hand stays in sight when the rows are sorted around it.
    connect(model_, &QAbstractItemModel::layoutChanged, this,
            [this] { table_->scrollTo(table_->currentIndex()); });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ComparisonWindow::showMessages);

    auto* messages = new QWidget(this);
    auto* sides = new QGridLayout(messages);
    sides->setContentsMargins(0, 0, 0, 0);
    for (auto [column, edit, name] : {std::tuple{0, before_, QStringLiteral("Antes")},
                                      std::tuple{1, now_, QStringLiteral("Agora")}}) {
        auto* label = new QLabel(name + u':', messages);
        label->setBuddy(edit);
        edit->setObjectName(name.toLower());
        edit->setAccessibleName(name);
        edit->setReadOnly(true);
        edit->setTabChangesFocus(true);
        sides->addWidget(label, 0, column);
        sides->addWidget(edit, 1, column);
    }
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table_);
    split->addWidget(messages);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);

    status_->setObjectName(QStringLiteral("listados"));
    save_->setObjectName(QStringLiteral("Salvar"));
    save_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save_, &QPushButton::clicked, this, &ComparisonWindow::save);

    auto* filter = new QHBoxLayout;
    filter->addWidget(situationLabel);
    filter->addWidget(situation_);
    filter->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(files);
    layout->addWidget(warning);
    layout->addWidget(counts_);
    layout->addLayout(filter);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);
    setTabOrder(situation_, table_);
    setTabOrder(table_, before_);
    setTabOrder(before_, now_);
    setTabOrder(now_, save_);

    table_->resizeColumnsToContents();
    changesWidth_ = table_->horizontalHeader()->sectionSize(ComparisonModel::Changes);
    table_->viewport()->installEventFilter(this);

    if (parent)
        resize(parent->window()->size() * 9 / 10);
    showSituation(0);
    table_->setFocus();
}

ComparisonWindow::~ComparisonWindow()
{
    // The table and its model read the comparison, a member gone before
    // the window's children would be.
    table_->viewport()->removeEventFilter(this);
    delete table_;
    delete model_;
}

bool ComparisonWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table_->viewport() && event->type() == QEvent::Resize)
        fitMessageColumns();
    return QWidget::eventFilter(watched, event);
}

// The worker's columns as wide as their texts; the two lists of messages
// and the corrections share what is left, the corrections at most a third
// of it (their heading always whole), so a long correction never pushes the
// messages out of sight; never so narrow that a message's start cannot be
// read: a narrow window scrolls instead. The whole texts are under the table
// and in each cell's tip.
void ComparisonWindow::fitMessageColumns()
{
    QHeaderView* header = table_->horizontalHeader();
    int taken = 0;
    for (int column = 0; column < model_->columnCount(); ++column) {
        if (column != ComparisonModel::Before && column != ComparisonModel::Now &&
            column != ComparisonModel::Changes)
            taken += header->sectionSize(column);
    }
    const int room = table_->viewport()->width() - taken;
    const int heading = header->sectionSizeHint(ComparisonModel::Changes);
    const int changes = std::max(std::min(changesWidth_, room / 3), heading);
    const int digit = table_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int width = std::max((room - changes) / 2, 16 * digit);
    header->resizeSection(ComparisonModel::Changes, changes);
    header->resizeSection(ComparisonModel::Before, width);
    header->resizeSection(ComparisonModel::Now, width);
}

// The file's name, and its company and date where the name is the
// government's, so the clerk sees at once that the two are one company's.
QString ComparisonWindow::describedFile(const QString& path) const
{
    const ReturnFileName name = ReturnFileName::parse(path);
    if (!name.isGovernments())
        return path;
    return QStringLiteral("%1 (CNPJ %2, %3)")
        .arg(path, name.formattedCnpj(), name.formattedDateTime());
}

void ComparisonWindow::showSituation(int choice)
{
    model_->setSituation(situationOf(choice));
    const QLocale locale = SheetTemplate::locale();
    const QString listed =
        model_->rowCount() == 1
            ? QStringLiteral("1 trabalhador listado.")
            : QStringLiteral("%1 trabalhadores listados.").arg(locale.toString(model_->rowCount()));
    status_->setText(listed);
    status_->setAccessibleName(listed);
    if (model_->rowCount() > 0)
        table_->setCurrentIndex(model_->index(0, 0));
    showMessages();
}

void ComparisonWindow::showMessages()
{
    const QModelIndex current = table_->currentIndex();
    const QStringList texts =
        current.isValid() ? model_->texts(current.row()) : QStringList(model_->columnCount());
    const bool worker = current.isValid();
    const QString& before = texts.at(ComparisonModel::Before);
    const QString& now = texts.at(ComparisonModel::Now);
    before_->setPlainText(
        worker && before.isEmpty() ? QStringLiteral("Não estava no retorno anterior.") : before);
    now_->setPlainText(worker && now.isEmpty() ? QStringLiteral("Não está no retorno atual.")
                                               : now);
}

// As the grid is saved: XLSX, CSV or PDF, by the name's extension or else
// the type chosen; the workers listed, with every situation's count on top.
void ComparisonWindow::save()
{
    const QFileInfo current(currentPath_);
    const ReturnFileName name = ReturnFileName::parse(currentPath_);
    const QString proposedName =
        name.isGovernments()
            ? QStringLiteral("comparacao-%1-%2.xlsx")
                  .arg(name.cnpj(), name.dateTime().toString(QStringLiteral("yyyyMMdd")))
            : QStringLiteral("comparacao.xlsx");
    const std::optional<WindowDialogs::SaveChoice> choice = dialogs_.chooseFileToSave(
        this, QStringLiteral("Salvar como"),
        QDir::toNativeSeparators(current.dir().filePath(proposedName)), SheetFile::filters());
    if (!choice || choice->path.isEmpty())
        return;
    if (const QString refusal = SaveTarget::refusalText(
            choice->path, {currentPath_, earlierPath_},
            QStringLiteral("A comparação não foi salva"),
            QStringLiteral("um dos arquivos comparados"), QDir::toNativeSeparators(choice->path));
        !refusal.isEmpty()) {
        dialogs_.showCritical(this, CommandOutcome::messageTitle(), refusal);
        return;
    }
    const SheetFile::Format format = SheetFile::chosenFormat(choice->path, choice->filter);
    SheetFile::Result result;
    {
        const std::unique_ptr<Progress> progress =
            dialogs_.progress(this, SheetFile::progressLabel(format));
        result = TableFile::save(
            ComparisonTable::of(comparison_, QFileInfo(earlierPath_).fileName(), current.fileName(),
                                model_->listed(), model_->situation()),
            choice->path, format, progress.get());
    }
    if (result.status == SheetFile::Result::Status::Failed)
        dialogs_.showCritical(this, CommandOutcome::messageTitle(), result.error);
}
