#include "app/readablepalette.h"
#include "app/systemdialogs.h"
#include "app/verinova.h"
#include "sheet/grid/sheetview.h"
#include "sheet/resultsheet.h"
#include "tests/support/casename.h"
#include "tests/support/fakedialogs.h"
#include "tests/support/testfiles.h"
#include "tools/returnfilegenerator.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

namespace {

// WCAG 2's contrast ratio, worked out here apart from the program's own.
double wcagContrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto linear = [](int channel) {
            const double v = channel / 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A translucent colour as it shows over its ground.
QColor over(const QColor& colour, const QColor& ground)
{
    const double a = colour.alphaF();
    return QColor::fromRgbF(static_cast<float>(colour.redF() * a + ground.redF() * (1 - a)),
                            static_cast<float>(colour.greenF() * a + ground.greenF() * (1 - a)),
                            static_cast<float>(colour.blueF() * a + ground.blueF() * (1 - a)));
}

struct Pair
{
    const char* name;
    QPalette::ColorGroup group;
    QPalette::ColorRole text;
    QPalette::ColorRole ground;
    int shading; // how much lighter a style may paint the ground, in percent
};

void PrintTo(const Pair& c, std::ostream* os)
{
    *os << c.name;
}

class ReadableColoursTest : public ::testing::TestWithParam<Pair>
{
protected:
    void TearDown() override
    {
        delete qApp->findChild<ReadablePalette*>();
        QApplication::setPalette(QPalette());
    }
};

// The style's own colours (Fusion here, white on #308cc6) are below 4.5:1;
// the application's palette reads at 4.5:1 or more, also where the style
// paints a list's selection as a lighter gradient.
TEST_P(ReadableColoursTest, ReadAtLeastFourAndAHalfToOne)
{
    const Pair& pair = GetParam();
    ReadablePalette::keepApplicationReadable();
    const QPalette palette = QApplication::palette();
    const QColor ground =
        over(palette.color(pair.group, pair.ground), palette.color(pair.group, QPalette::Base));
    const QColor text = over(palette.color(pair.group, pair.text), ground);
    EXPECT_GE(wcagContrast(text, ground.lighter(100 + pair.shading)), 4.5)
        << text.name().toStdString() << " on " << ground.name().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Roles, ReadableColoursTest,
                         ::testing::Values(Pair{"ActiveSelection", QPalette::Active,
                                                QPalette::HighlightedText, QPalette::Highlight, 0},
                                           Pair{"ActiveSelectedListItem", QPalette::Active,
                                                QPalette::HighlightedText, QPalette::Highlight, 3},
                                           Pair{"InactiveSelection", QPalette::Inactive,
                                                QPalette::HighlightedText, QPalette::Highlight, 3},
                                           Pair{"Placeholder", QPalette::Active,
                                                QPalette::PlaceholderText, QPalette::Base, 0},
                                           Pair{"InactivePlaceholder", QPalette::Inactive,
                                                QPalette::PlaceholderText, QPalette::Base, 0}),
                         CaseName());

// A high-contrast palette is the user's: nothing in it is set again.
TEST(ReadablePaletteTest, LeavesAHighContrastPaletteAsItIs)
{
    QPalette highContrast(Qt::white, Qt::black);
    highContrast.setColor(QPalette::Highlight, QColor(0x1a, 0xeb, 0xff));
    highContrast.setColor(QPalette::HighlightedText, Qt::black);
    highContrast.setColor(QPalette::PlaceholderText, QColor(0xc0, 0xc0, 0xc0));
    highContrast.setColor(QPalette::Base, Qt::black);
    highContrast.setResolveMask(0);

    const QPalette readable = ReadablePalette::from(highContrast);
    EXPECT_EQ(readable.resolveMask(), 0u);
    EXPECT_EQ(readable, highContrast);
}

std::string twoWorkers()
{
    return ReturnFileGenerator::header() +
           "11111111111;22222222222;ANA LIMA;01011980;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0\r\n"
           "33333333333;44444444444;JOÃO SÁ;02021990;0;1;0;0;0;0;0;0;0;0;0;0;0;0;0;0;2\r\n";
}

// Hears one type of event sent to the object it filters.
class EventSpy final : public QObject
{
public:
    EventSpy(QEvent::Type type, std::function<void(QEvent*)> heard)
        : type_(type), heard_(std::move(heard))
    {
    }
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == type_)
            heard_(event);
        return false;
    }

private:
    QEvent::Type type_;
    std::function<void(QEvent*)> heard_;
};

class AccessibleWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window_.show();
        QApplication::setActiveWindow(&window_);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }

    template <typename T = QWidget> T* control(const char* name)
    {
        if (auto* found = window_.findChild<T*>(QString::fromLatin1(name)))
            return found;
        throw std::runtime_error(std::string("no control ") + name);
    }

    TestFiles files_;
    Verinova window_{std::make_unique<FakeDialogs>()};
};

// Screen readers look for an application's window among frames: a plain
// widget is a filler to them.
TEST_F(AccessibleWindowTest, IsAWindowToScreenReaders)
{
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&window_);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), window_.windowTitle());
}

// The keyboard's other Menu key opens the grid's menu on the current cell.
TEST_F(AccessibleWindowTest, ShiftF10OpensTheGridsMenuOnTheCurrentCell)
{
    control<QLineEdit>("Text1")->setText(files_.write(QStringLiteral("dois.txt"), twoWorkers()));
    control<QAbstractButton>("Command2")->click();
    auto* grid = control<SheetView>("F1Book1");
    ASSERT_EQ(grid->sheet().RowCount(), 2);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 1));
    const QRect cell(
        grid->viewport()->mapToGlobal(grid->visualRect(grid->currentIndex()).topLeft()),
        grid->visualRect(grid->currentIndex()).size());

    // Where the menu is asked for; the platform may then move it to fit
    // its screen.
    QPoint askedAt(-1, -1);
    const auto asked = std::make_unique<EventSpy>(QEvent::ContextMenu, [&](QEvent* event) {
        askedAt = static_cast<QContextMenuEvent*>(event)->globalPos();
    });
    grid->installEventFilter(asked.get());
    QStringList items;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (const QAction* action : menu->actions())
                items << action->text();
            menu->close();
        }
    });
    QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier);

    EXPECT_TRUE(items.contains(QStringLiteral("Copiar"))) << items.join(u',').toStdString();
    EXPECT_TRUE(cell.contains(askedAt)) << askedAt.x() << "," << askedAt.y() << " outside the cell";
}

// Where only the fonts are larger (run with a font dpi of 192 and no
// scaling), the path box and the frame's caption grow with them: the box
// holds its text, the caption shows whole above it.
TEST_F(AccessibleWindowTest, PathBoxAndItsCaptionHoldTheirFont)
{
    auto* text1 = control<QLineEdit>("Text1");
    EXPECT_GE(text1->height(), text1->minimumSizeHint().height());

    auto* frame = control<QGroupBox>("Frame1");
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    option.lineWidth = 1;
    const QRect caption = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                         QStyle::SC_GroupBoxLabel, frame);
    EXPECT_GE(caption.height(), frame->fontMetrics().height());
    EXPECT_GE(caption.top(), 0);
    EXPECT_LE(caption.bottom(), text1->geometry().top());
}

// Qt's own file dialogs open within the screen, their buttons on it (also
// run on a 1366×768 screen at 200 %).
struct FileDialogCase
{
    const char* name;
    std::function<void(SystemDialogs&, QWidget*)> open;
};

void PrintTo(const FileDialogCase& c, std::ostream* os)
{
    *os << c.name;
}

class FileDialogScreenTest : public ::testing::TestWithParam<FileDialogCase>
{
};

TEST_P(FileDialogScreenTest, OpensWithinTheScreenWithItsButtonsOnIt)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows shows its own file dialogs, which size themselves";
#endif
    QWidget parent;
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    SystemDialogs dialogs;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        const QRect area = dialog->screen()->availableGeometry();
        EXPECT_TRUE(area.contains(dialog->frameGeometry()))
            << "dialog " << dialog->frameGeometry().height() << " px high on " << area.height();
        int buttons = 0;
        for (const QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (!button->isVisible())
                continue;
            ++buttons;
            EXPECT_TRUE(area.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
                << button->text().toStdString();
        }
        EXPECT_GE(buttons, 2);
        dialog->reject();
    });
    GetParam().open(dialogs, &parent);
    EXPECT_TRUE(seen);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, FileDialogScreenTest,
    ::testing::Values(FileDialogCase{"Open",
                                     [](SystemDialogs& d, QWidget* parent) {
                                         d.chooseFileToOpen(parent, QStringLiteral("Abrir"),
                                                            QDir::tempPath());
                                     }},
                      FileDialogCase{"Save",
                                     [](SystemDialogs& d, QWidget* parent) {
                                         d.chooseFileToSave(
                                             parent, QStringLiteral("Salvar como"),
                                             QDir::temp().filePath(QStringLiteral("a.xlsx")),
                                             {QStringLiteral("XLSX (*.xlsx)"),
                                              QStringLiteral("CSV (*.csv)")});
                                     }}),
    CaseName());

} // namespace
