#include "app/verinova.h"
#include "sheet/grid/sheetview.h"
#include "tests/support/fakedialogs.h"
#include "tests/support/screenreader.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A worker who passes every check and one with a bad CPF.
std::string twoWorkers()
{
    return ReturnFileGenerator::header() +
           "11111111111;22222222222;ANA LIMA;01011980;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\r\n"
           "33333333333;44444444444;JOÃO SÁ;02021990;0;1;0;0;0;0;0;0;0;0;0;0;0;0;0;0;2\r\n";
}

// What a screen reader was told, read when it was told.
struct Told
{
    QAccessible::Event type;
    QAccessible::Role role;
    QString name;
    QString description;
    QObject* object;
    bool focused;
};

std::vector<Told>& told()
{
    static std::vector<Told> events;
    return events;
}

void record(QAccessibleEvent* event)
{
    QAccessibleInterface* from = event->accessibleInterface();
    if (!from)
        return;
    told().push_back({event->type(), from->role(), from->text(QAccessible::Name),
                      from->text(QAccessible::Description), event->object(),
                      bool(from->state().focused)});
}

std::vector<Told> toldOf(QAccessible::Event type)
{
    std::vector<Told> of;
    for (const Told& event : told()) {
        if (event.type == type)
            of.push_back(event);
    }
    return of;
}

// The status bar as a screen reader looks for it when the clerk asks for it
// (Orca's "read the status bar"): among the window's descendants, the last
// first, never inside a table or a tree. Each object is reached from its
// parent, which it must name as its own and where it must have its place,
// or the reader cannot walk the tree back up from it.
QAccessibleInterface* findStatusBar(QAccessibleInterface* from)
{
    if (from->role() == QAccessible::StatusBar)
        return from;
    if (from->role() == QAccessible::Table || from->role() == QAccessible::Tree)
        return nullptr;
    for (int i = from->childCount() - 1; i >= 0; --i) {
        QAccessibleInterface* child = from->child(i);
        if (!child)
            continue;
        QAccessibleInterface* found = findStatusBar(child);
        if (!found)
            continue;
        EXPECT_EQ(child->parent(), from);
        EXPECT_EQ(from->indexOfChild(child), i);
        return found;
    }
    return nullptr;
}

class AccessibilityTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto dialogs = std::make_unique<FakeDialogs>();
        dialogs_ = dialogs.get();
        window_ = std::make_unique<Verinova>(std::move(dialogs));
        window_->show();
        QApplication::setActiveWindow(window_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        reader_ = std::make_unique<ScreenReader>(&record);
        told().clear();
    }
    void TearDown() override
    {
        reader_.reset();
        told().clear();
    }

    template <typename T = QWidget> T* control(const char* name) const
    {
        return window_->findChild<T*>(QString::fromLatin1(name));
    }
    SheetView* grid() const { return control<SheetView>("F1Book1"); }
    void load()
    {
        control<QLineEdit>("Text1")->setText(
            files_.write(QStringLiteral("retorno.txt"), twoWorkers()));
        QTest::mouseClick(control<QAbstractButton>("Command2"), Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    TestFiles files_;
    FakeDialogs* dialogs_ = nullptr;
    std::unique_ptr<Verinova> window_;
    std::unique_ptr<ScreenReader> reader_;
};

// Every control a clerk can reach with the keyboard has a name a reader can
// say.
TEST_F(AccessibilityTest, EveryControlIsNamed)
{
    load();
    QStringList unnamed;
    QStringList focusable;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* at) {
        const QString name = at->text(QAccessible::Name);
        if (at->state().focusable)
            focusable << name;
        if (name.trimmed().isEmpty() && at->state().focusable)
            unnamed << QStringLiteral("%1 %2")
                           .arg(int(at->role()))
                           .arg(at->object() ? at->object()->objectName() : QString());
        for (int i = 0; i < at->childCount(); ++i) {
            QAccessibleInterface* child = at->child(i);
            if (child && child->role() != QAccessible::Cell &&
                child->role() != QAccessible::ColumnHeader &&
                child->role() != QAccessible::RowHeader)
                walk(child);
        }
    };
    walk(QAccessible::queryAccessibleInterface(window_.get()));
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u", ").toStdString();
    for (const char* word : {"Arquivo de Retorno", "Processar", "Otimizar", "Fechar"})
        EXPECT_TRUE(focusable.contains(QString::fromUtf8(word))) << word;
}

// The count is a status line found where a screen reader looks for one,
// beside the grid and not in its table, and what changes it
// (a load, a filter, Otimizar) or what the grid is told (the search going
// round, twice) is said once each time, by a notification inside it.
TEST_F(AccessibilityTest, TheCountAndEveryNoticeAreSaidFromTheStatusLine)
{
    load();
    QAccessibleInterface* status =
        findStatusBar(QAccessible::queryAccessibleInterface(window_.get()));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(QAccessible::Name), grid()->statusLine()->text());

    struct Step
    {
        const char* what;
        std::function<void()> act;
        std::function<QString()> said;
    };
    const auto count = [this] { return grid()->statusLine()->text(); };
    const auto notice = [this] { return dialogs_->notices.back().detail; };
    const auto findAgain = [this] {
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_F3);
    };
    const Step steps[] = {
        {"load", [this] { load(); }, count},
        {"filter",
         [this] {
             dialogs_->textsAnswer = std::set<std::string>{"OK"};
             Q_EMIT grid()->filterRequested(2);
         },
         count},
        {"Otimizar",
         [this] { QTest::mouseClick(control<QAbstractButton>("Command3"), Qt::LeftButton); },
         count},
        {"search goes round",
         [this] {
             dialogs_->textAnswer = QStringLiteral("33333333333");
             QTest::keyClick(grid(), Qt::Key_F, Qt::ControlModifier);
             QTest::keyClick(grid(), Qt::Key_F3);
         },
         notice},
        {"and again", findAgain, notice},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        told().clear();
        step.act();
        QCoreApplication::processEvents();
        const std::vector<Told> shown = toldOf(QAccessible::ObjectShow);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].role, QAccessible::Notification);
        EXPECT_EQ(shown[0].name, step.said());
        EXPECT_FALSE(step.said().isEmpty());
    }
}

// Only the grid with the keyboard focus reports its active cell, once a
// move, as one table whatever side of the frozen edge, with where the cell
// is; with the focus elsewhere, commands that move the active cell report
// nothing and no cell is focused.
TEST_F(AccessibilityTest, OnlyTheFocusedGridReportsItsActiveCellOnceAMove)
{
    load();
    grid()->setFocus();
    QCoreApplication::processEvents();
    const Qt::Key moves[] = {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right,
                             Qt::Key_Down,  Qt::Key_Left,  Qt::Key_Home};
    for (const Qt::Key key : moves) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        told().clear();
        QTest::keyClick(grid(), key);
        const std::vector<Told> focus = toldOf(QAccessible::Focus);
        ASSERT_EQ(focus.size(), 1u);
        const QModelIndex current = grid()->currentIndex();
        EXPECT_EQ(focus[0].role, QAccessible::Cell);
        EXPECT_TRUE(focus[0].focused);
        EXPECT_EQ(focus[0].name, current.data().toString());
        EXPECT_EQ(focus[0].description,
                  grid()->model()->headerData(current.column(), Qt::Horizontal).toString() +
                      QStringLiteral(", linha ") + QString::number(current.row() + 1));
    }

    struct Elsewhere
    {
        const char* focus;
        Qt::Key key;
    };
    for (const Elsewhere& elsewhere :
         {Elsewhere{"Text1", Qt::Key_F5}, Elsewhere{"Command3", Qt::Key_Space}}) {
        SCOPED_TRACE(elsewhere.focus);
        load();
        QWidget* focus = control(elsewhere.focus);
        focus->setFocus();
        grid()->setCurrentIndex(grid()->model()->index(1, 4));
        QCoreApplication::processEvents();
        told().clear();
        QTest::keyClick(focus, elsewhere.key);
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), focus);
        EXPECT_TRUE(toldOf(QAccessible::Focus).empty());
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid());
        const QModelIndex current = grid()->currentIndex();
        ASSERT_TRUE(current.isValid());
        QAccessibleInterface* cell =
            table->tableInterface()->cellAt(current.row(), current.column());
        ASSERT_NE(cell, nullptr);
        EXPECT_FALSE(cell->state().focused);
        EXPECT_EQ(table->focusChild(), nullptr);
    }
}

} // namespace
