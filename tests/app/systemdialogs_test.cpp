#include "app/systemdialogs.h"
#include "sheet/export/sheetfile.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const QLabel* shownNotice(const QString& text)
{
    for (const QWidget* widget : QApplication::allWidgets()) {
        const auto* label = qobject_cast<const QLabel*>(widget);
        if (label && label->isVisible() && label->text() == text)
            return label;
    }
    return nullptr;
}

// As after Localizar: the notice told the moment the box closes by Enter
// stays while the window takes the keyboard back.
TEST(SystemDialogsTest, ANoticeOutlastsTheBoxBeforeIt)
{
    QWidget window;
    window.resize(600, 400);
    auto* grid = new QWidget(&window);
    grid->setGeometry(0, 0, 600, 400);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    SystemDialogs dialogs;
    const QString text = QStringLiteral("A busca recomeçou do início.");
    QInputDialog box(&window);
    QTimer::singleShot(0, &box,
                       [&box] { QTest::keyClick(box.findChild<QLineEdit*>(), Qt::Key_Return); });
    ASSERT_EQ(box.exec(), QDialog::Accepted);
    dialogs.showNotice(grid, text);
    // What a window system then tells, after the notice: the window is
    // active again, and Enter's key goes up in it.
    QEvent activated(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activated);
    QTest::keyRelease(grid, Qt::Key_Return);
    QApplication::processEvents();

    const QLabel* notice = shownNotice(text);
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(QRect(grid->mapToGlobal(QPoint(0, 0)), grid->size())
                    .contains(QRect(notice->mapToGlobal(QPoint(0, 0)), notice->size())));
}

// A window manager may leave no window active once a modal dialog has
// closed (openbox does, after the file dialog): every dialog the window
// shows gives it the keyboard back, to the control that had it.
TEST(SystemDialogsTest, EveryDialogGivesTheWindowTheKeyboardBack)
{
    QWidget window;
    window.resize(600, 400);
    // The focus is on the second: the window's first control does not count.
    new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    second->move(0, 40);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    SystemDialogs dialogs;
    const std::vector<ColumnValues::Value> values{{"OK", 2}};
    struct Shown
    {
        const char* name;
        std::function<void()> show;
    };
    const Shown shown[] = {
        {"open", [&] { dialogs.chooseFileToOpen(&window, QStringLiteral("Abrir"), QString()); }},
        {"folder", [&] { dialogs.chooseFolder(&window, QStringLiteral("Pasta"), QString()); }},
        {"save",
         [&] {
             dialogs.chooseFileToSave(&window, QStringLiteral("Salvar como"),
                                      QDir::home().filePath(QStringLiteral("x.csv")),
                                      {SheetFile::filter(SheetFile::Format::Csv)});
         }},
        {"find",
         [&] {
             dialogs.askText(&window, QStringLiteral("Localizar"), QStringLiteral("Localizar:"),
                             QString());
         }},
        {"filter", [&] { dialogs.chooseTexts(&window, QStringLiteral("CPF"), values, {true}); }},
        {"critical",
         [&] { dialogs.showCritical(&window, QStringLiteral("Atenção"), QStringLiteral("x")); }},
        {"information",
         [&] {
             dialogs.showInformation(&window, QStringLiteral("Localizar"), QStringLiteral("x"));
         }},
    };
    for (const Shown& dialog : shown) {
        SCOPED_TRACE(dialog.name);
        second->setFocus();
        ASSERT_TRUE(second->hasFocus());
        // As the window manager does: the dialog goes, and no window is
        // made active.
        QTimer::singleShot(0, &window, [] {
            auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(open, nullptr);
            QObject::connect(open, &QDialog::finished, open,
                             [] { QApplication::setActiveWindow(nullptr); });
            open->reject();
        });
        dialog.show();
        QApplication::processEvents();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window, 1000));
        EXPECT_EQ(QApplication::focusWidget(), second);
    }
}

struct TypedCase
{
    const char* name;
    const char* returned; // what the save dialog gave back
    const char* existing; // a file already in the folder, or nothing
    const char* saved;
};

class TypedNameTest : public ::testing::TestWithParam<TypedCase>
{
};

// The extension the user typed wins over the type chosen in the dialog,
// which Windows' dialog adds all the same to a name whose extension the
// system does not know.
TEST_P(TypedNameTest, KeepsTheTypedExtension)
{
    const TypedCase& c = GetParam();
    TestFiles files;
    if (c.existing)
        files.write(QString::fromUtf8(c.existing), "anterior");
    const QStringList filters{SheetFile::filter(SheetFile::Format::Xlsx),
                              SheetFile::filter(SheetFile::Format::Csv),
                              SheetFile::filter(SheetFile::Format::Pdf)};
    EXPECT_EQ(
        SystemDialogs::typedName(files.path(QString::fromUtf8(c.returned)), filters).toStdString(),
        files.path(QString::fromUtf8(c.saved)).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedNameTest,
    ::testing::Values(TypedCase{"CsvTypedXlsxChosen", "x.csv.xlsx", nullptr, "x.csv"},
                      TypedCase{"PdfTypedCsvChosen", "x.PDF.csv", nullptr, "x.PDF"},
                      TypedCase{"NameWithoutExtension", "x.xlsx", nullptr, "x.xlsx"},
                      TypedCase{"UnknownExtensionTyped", "folha.2026.xlsx", nullptr,
                                "folha.2026.xlsx"},
                      // Chosen from the list: the file that is there.
                      TypedCase{"ExistingFileChosen", "x.csv.xlsx", "x.csv.xlsx", "x.csv.xlsx"}),
    CaseName());

} // namespace
