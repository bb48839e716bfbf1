#include "app/filterdialog.h"

#include "app/filterlistaccessible.h"
#include "app/filtervaluesmodel.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <new>

namespace {
// Long enough that a word typed at speed lists once, short enough that the
// list seems to follow the typing.
constexpr int kSearchDelayMs = 200;
} // namespace

FilterDialog::FilterDialog(const QString& heading, const std::vector<ColumnValues::Value>& values,
                           std::vector<bool> chosen, QWidget* parent)
    : QDialog(parent), model_(new FilterValuesModel(values, std::move(chosen), this)),
      search_(new QLineEdit(this)), list_(new QListView(this)), searchDelay_(new QTimer(this))
{
    [[maybe_unused]] static const bool boxes = [] {
        QAccessible::installFactory(&FilterListAccessible::create);
        return true;
    }();
    setWindowTitle(QStringLiteral("Filtrar – %1").arg(heading));

    search_->setObjectName(QStringLiteral("pesquisa"));
    search_->setPlaceholderText(QStringLiteral("Pesquisar"));
    search_->setAccessibleName(QStringLiteral("Pesquisar valores"));
    search_->setClearButtonEnabled(true);
    search_->installEventFilter(this);
    searchDelay_->setSingleShot(true);
    searchDelay_->setInterval(kSearchDelayMs);
    // textChanged, not textEdited: the box's clear button counts too.
    connect(search_, &QLineEdit::textChanged, searchDelay_, qOverload<>(&QTimer::start));
    connect(searchDelay_, &QTimer::timeout, this, &FilterDialog::search);

    shortOfMemory_ = new QLabel(
        QStringLiteral(
            "Memória insuficiente para pesquisar: a lista não mostra o que foi digitado."),
        this);
    shortOfMemory_->setObjectName(QStringLiteral("memoriaInsuficiente"));
    shortOfMemory_->setWordWrap(true);
    shortOfMemory_->hide();

    list_->setObjectName(QStringLiteral("valores"));
    list_->setAccessibleName(QStringLiteral("Valores de %1").arg(heading));
    // Every row is one line of text: the view need not measure a million.
    list_->setUniformItemSizes(true);
    list_->setModel(model_);
    list_->installEventFilter(this);
    // The list view tells a screen reader where the user moves, not that a
    // box changed: a box ticked or unticked (Space, a click) is told here.
    connect(model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& first, const QModelIndex& last) {
                if (!choosingListed_ && first == last)
                    tellToggled(first.row());
            });

    auto* selectAll = new QPushButton(QStringLiteral("Selecionar todos"), this);
    selectAll->setObjectName(QStringLiteral("selecionarTodos"));
    connect(selectAll, &QPushButton::clicked, this, [this] { chooseListed(true); });
    auto* clear = new QPushButton(QStringLiteral("Limpar"), this);
    clear->setObjectName(QStringLiteral("limpar"));
    connect(clear, &QPushButton::clicked, this, [this] { chooseListed(false); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("botoes"));
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setText(QStringLiteral("OK"));
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancelar"));
    cancel->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // A filter that lets no row through is surely a slip, not a wish.
    const auto allowOk = [this] { ok_->setEnabled(model_->anyChosen()); };
    connect(model_, &QAbstractItemModel::dataChanged, this, allowOk);
    connect(model_, &QAbstractItemModel::modelReset, this, allowOk);
    allowOk();

    auto* choices = new QHBoxLayout;
    choices->addWidget(selectAll);
    choices->addWidget(clear);
    choices->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(search_);
    layout->addWidget(shortOfMemory_);
    layout->addWidget(list_);
    layout->addLayout(choices);
    layout->addWidget(buttons);
    // Room for long names, and well inside a 1366×768 screen at 125 %;
    // smaller screens are fitted when shown. Larger fonts (a logical dpi
    // above 96) get room in proportion.
    resize(QSize(360, 420) * std::max(logicalDpiY(), 96) / 96);
}

std::vector<bool> FilterDialog::chosen() const
{
    return model_->chosen();
}

void FilterDialog::accept()
{
    // OK right after typing acts on what the box says, not on what the
    // list showed a moment before.
    if (searchDelay_->isActive() && !search())
        return;
    if (model_->anyChosen())
        QDialog::accept();
}

bool FilterDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Tabbing into the list, a reader hears the box the keys act on, not
    // only the list: told once the list has told of its own focus, which
    // comes after this event.
    if (watched == list_ && event->type() == QEvent::FocusIn)
        QMetaObject::invokeMethod(this, &FilterDialog::tellCurrent, Qt::QueuedConnection);
    // Enter in the search box is OK even while the list, not yet showing
    // what was typed, has nothing ticked and OK is greyed.
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FilterDialog::showEvent(QShowEvent* event)
{
    // Before the dialog places itself, which keeps it on the screen only
    // when it fits.
    if (!event->spontaneous())
        fitScreen();
    QDialog::showEvent(event);
}

// No larger than the available area of the screen it opens on, title bar
// and borders included: at 200 % a 1366×768 screen has 384 pixels of
// height to give.
void FilterDialog::fitScreen()
{
    const QWidget* over = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* shownOn = over ? over->screen() : screen();
    if (!shownOn)
        return;
    // The frame is not known before the window system shows the dialog:
    // the parent's, as the dialog will likely get the same, else a usual one.
    QSize frame = over ? over->frameGeometry().size() - over->geometry().size() : QSize();
    if (frame.isEmpty()) {
        const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
        frame = QSize(2 * border,
                      style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + border);
    }
    const QSize room = shownOn->availableGeometry().size() - frame;
    const QSize fitted = size().boundedTo(room).expandedTo(minimumSizeHint());
    if (fitted != size())
        resize(fitted);
}

bool FilterDialog::search()
{
    searchDelay_->stop();
    try {
        model_->listMatching(search_->text());
    } catch (const std::bad_alloc&) {
        // The list stays as it was, and says so: it is not what was typed.
        shortOfMemory_->show();
        return false;
    }
    shortOfMemory_->hide();
    return true;
}

void FilterDialog::chooseListed(bool choose)
{
    // A click right after typing acts on what the box says, not on what the
    // list showed a moment before.
    if (searchDelay_->isActive() && !search())
        return;
    // Of a million boxes, a screen reader hears of those in view that
    // change; it reads the others as the user comes to them.
    const QModelIndex top = list_->indexAt(QPoint(0, 0));
    const QModelIndex bottom = list_->indexAt(QPoint(0, list_->viewport()->height() - 1));
    const int first = top.isValid() ? top.row() : 0;
    const int last =
        top.isValid() ? (bottom.isValid() ? bottom.row() : model_->rowCount() - 1) : -1;
    std::vector<bool> before;
    for (int row = first; row <= last; ++row)
        before.push_back(model_->index(row).data(Qt::CheckStateRole).toInt() == Qt::Checked);
    {
        const QScopedValueRollback choosing(choosingListed_, true);
        model_->chooseListed(choose);
    }
    for (int row = first; row <= last; ++row) {
        if (before[static_cast<std::size_t>(row - first)] != choose)
            tellToggled(row);
    }
}

void FilterDialog::tellToggled(int row)
{
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(list_, changed);
    event.setChild(row);
    // Qt builds nothing for it unless a reader listens.
    QAccessible::updateAccessibility(&event);
}

void FilterDialog::tellCurrent()
{
    const QModelIndex current = list_->currentIndex();
    if (!list_->hasFocus() || !current.isValid())
        return;
    QAccessibleEvent focus(list_, QAccessible::Focus);
    focus.setChild(current.row());
    QAccessible::updateAccessibility(&focus);
}
