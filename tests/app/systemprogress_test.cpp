#include "app/systemprogress.h"

#include <QProgressDialog>
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

} // namespace
