#include "app/startup.h"

#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

TEST(StartupTest, QtSpeaksBrazilianPortuguese)
{
    ASSERT_TRUE(Startup::installPortuguese(*QCoreApplication::instance()));
    EXPECT_EQ(QLocale().name(), QStringLiteral("pt_BR"));
    // The standard dialog buttons and the file dialog.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Abrir"));
}

} // namespace
