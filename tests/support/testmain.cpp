// The main of every test program: a Qt application object for the code under
// test, headless unless the caller chose a platform.
#include "system/headlessplatform.h"

#include <gtest/gtest.h>

#ifdef VERINOVA_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <QFile>
#include <QTemporaryDir>

#include <clocale>

int main(int argc, char** argv)
{
    // Without a display QApplication aborts, and test discovery with it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", HeadlessPlatform::name());
    TestApplication app(argc, argv);
    // Saves note their temporary files in the user's state folder: the
    // tests', and the programs they start, stay out of the tester's home.
    const QTemporaryDir state;
    if (state.isValid())
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    // As the program does once its application object has taken the user's
    // locale: the tests run under the Brazilian one too.
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
