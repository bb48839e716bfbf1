#include "app/systemprogress.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

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

} // namespace
