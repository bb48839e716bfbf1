#include "app/systemprogress.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TEST(SystemProgressTest, CountsStepsWithThousandsSeparators)
{
    QWidget window;
    SystemProgress progress(&window, QStringLiteral("Salvando linha %1 de %2"));
    progress.advance(94'208, 200'000);
    const auto* dialog = window.findChild<QProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelText(), QStringLiteral("Salvando linha 94.209 de 200.000"));
}

// A click on Cancelar that came while the last step ran, reporting nothing,
// stops the job: the dialog is asked once more before the result is kept.
TEST(SystemProgressTest, AClickWhileTheLastStepRanStops)
{
    QWidget window;
    window.show();
    SystemProgress progress(&window, QStringLiteral("Salvando linha %1 de %2"));
    ASSERT_TRUE(progress.advance(199'999, 200'000));
    auto* dialog = window.findChild<QProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    dialog->show(); // as it is once the job has taken more than a second
    auto* cancel = dialog->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    const QPointF centre = QRectF(cancel->rect()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(
            cancel, new QMouseEvent(type, centre, cancel->mapToGlobal(centre), Qt::LeftButton,
                                    Qt::LeftButton, Qt::NoModifier));
    EXPECT_FALSE(progress.finish());
}

// Closing the dialog, as Alt+F4 does, asks whether to stop, over the dialog
// and with what is under way: "Não" lets the job go on with the dialog
// showing, "Sim" stops it as Cancelar does.
TEST(SystemProgressTest, ClosingTheDialogAsksWhetherToStop)
{
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "Sim" : "Não");
        QWidget window;
        window.show();
        std::vector<std::pair<QWidget*, QString>> asked;
        SystemProgress progress(&window, QStringLiteral("Salvando linha %1 de %2"),
                                [&](QWidget* over, const QString& underWay) {
                                    asked.emplace_back(over, underWay);
                                    return stop;
                                });
        ASSERT_TRUE(progress.advance(94'208, 200'000));
        auto* dialog = window.findChild<QProgressDialog*>();
        ASSERT_NE(dialog, nullptr);
        dialog->show(); // as it is once the job has taken more than a second
        dialog->close();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].first, dialog);
        EXPECT_EQ(asked[0].second, QStringLiteral("Salvando linha 94.209 de 200.000"));
        EXPECT_EQ(dialog->isVisible(), !stop);
        EXPECT_EQ(progress.advance(94'209, 200'000), !stop);
        EXPECT_EQ(progress.finish(), !stop);
    }
}

// Escape on the dialog is a close like Alt+F4: it asks, and never leaves
// the job running behind a dialog gone from the screen.
TEST(SystemProgressTest, EscapeAsksAsClosingDoes)
{
    QWidget window;
    window.show();
    int asked = 0;
    SystemProgress progress(&window, QStringLiteral("Salvando linha %1 de %2"),
                            [&](QWidget*, const QString&) {
                                ++asked;
                                return false;
                            });
    ASSERT_TRUE(progress.advance(94'208, 200'000));
    auto* dialog = window.findChild<QProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    dialog->show();
    dialog->activateWindow();
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
        QCoreApplication::postEvent(dialog, new QKeyEvent(type, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::processEvents();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(progress.advance(94'209, 200'000));
}

} // namespace
