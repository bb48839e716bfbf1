#include "app/systemdialogs.h"

#include <QApplication>
#include <QEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

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

} // namespace
