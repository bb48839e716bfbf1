// Where a save may land on every system: folders named in Portuguese, a
// long path, and on Windows a file another program holds open or a device's
// name.
#include "system/replacingfile.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
struct TargetCase
{
    const char* name;
    // Makes the target and what stands around it; what it returns is held
    // until the save has ended.
    std::function<std::shared_ptr<void>(TestFiles&, const QString& target)> setUp;
    QString target;
    QString error; // empty when the save must succeed
};

class ReplacingFileTargets : public ::testing::TestWithParam<TargetCase>
{
};

TEST_P(ReplacingFileTargets, SavesWholeOrLeavesEverythingAsItWas)
{
    TestFiles files;
    const QString target = files.path(GetParam().target);
    QDir().mkpath(QFileInfo(target).absolutePath());
    const auto held = GetParam().setUp(files, target);
    const QByteArray before = TestFiles::read(target);
    const QStringList around =
        QDir(QFileInfo(target).absolutePath())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    ReplacingFile file(target, QStringLiteral("CSV"));
    bool saved = file.create();
    if (saved) {
        QFile out(file.temporaryPath());
        saved = out.open(QIODevice::WriteOnly) && out.write("novo") == 4;
        out.close();
        saved = saved && file.commit();
    }

    const QStringList after =
        QDir(QFileInfo(target).absolutePath())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (GetParam().error.isEmpty()) {
        EXPECT_TRUE(saved) << file.error().toStdString();
        EXPECT_EQ(TestFiles::read(target), QByteArray("novo"));
        EXPECT_FALSE(QFileInfo(target).isHidden());
    } else {
        EXPECT_FALSE(saved);
        EXPECT_TRUE(file.error().contains(GetParam().error)) << file.error().toStdString();
        EXPECT_TRUE(file.error().contains(QDir::toNativeSeparators(target)))
            << "the message names the file as the system writes it";
        EXPECT_EQ(TestFiles::read(target), before);
    }
    QStringList expected = around;
    if (!around.contains(QFileInfo(target).fileName()) && saved)
        expected.append(QFileInfo(target).fileName());
    expected.sort();
    EXPECT_EQ(after, expected) << "no temporary file is left";
}

std::shared_ptr<void> nothing(TestFiles&, const QString&)
{
    return {};
}

std::shared_ptr<void> earlierFile(TestFiles&, const QString& target)
{
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write("antigo") != 6)
        throw std::runtime_error("cannot write the earlier file");
    return {};
}

// `chmod 444`, or on Windows the read-only attribute: the user's own "keep
// this as it is", which holds for root too.
std::shared_ptr<void> writeProtected(TestFiles& files, const QString& target)
{
    earlierFile(files, target);
    if (!QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup |
                                           QFile::ReadOther))
        throw std::runtime_error("cannot take the write permission away");
    return {};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplacingFileTargets,
    ::testing::Values(TargetCase{"NewFileInAccentedFolders",
                                 nothing,
                                 QStringLiteral("Usuários/João/Documentos/saída.csv"),
                                 {}},
                      TargetCase{"ReplacesAnEarlierFile",
                                 earlierFile,
                                 QStringLiteral("Usuários/João/Documentos/saída.csv"),
                                 {}},
                      // Past the 260 characters of Windows' old calls.
                      TargetCase{"ReplacesAFileOnALongPath",
                                 earlierFile,
                                 QStringLiteral("Área de Trabalho/") + QString(120, u'p') + u'/' +
                                     QString(120, u'q') + QStringLiteral("/saída.csv"),
                                 {}},
                      TargetCase{"RefusesAWriteProtectedFile", writeProtected,
                                 QStringLiteral("resultado.csv"),
                                 QStringLiteral("está protegido contra gravação")}),
    CaseName());

#ifdef _WIN32
// A save's work folder that its program left when it ended (the library's
// temporary files in it go when their handles close, the folder stays)
// goes with the next save to that target. On Linux only what the user's
// notes prove the program made goes, which a killed save shows there.
TEST(ReplacingFileLeftovers, AWorkFolderLeftEmptyGoesWithTheNextSave)
{
    TestFiles files;
    const QString target = files.path(QStringLiteral("Usuários/João/saída.xlsx"));
    const QDir folder = QFileInfo(target).dir();
    const QString left = folder.filePath(
        QString::fromUtf8(ReplacingFile::temporaryStem(QByteArrayLiteral("saída.xlsx"))) +
        QStringLiteral("K1lled"));
    ASSERT_TRUE(QDir().mkpath(left));
    ASSERT_TRUE(
        SetFileAttributesW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(left).utf16()),
                           FILE_ATTRIBUTE_HIDDEN));

    ReplacingFile file(target, QStringLiteral("XLSX"));
    ASSERT_TRUE(file.create()) << file.error().toStdString();
    file.discard();
    EXPECT_FALSE(QFileInfo::exists(left));
}

// A workbook open in the spreadsheet program: Windows lets nobody replace it.
std::shared_ptr<void> heldOpenWithoutSharing(TestFiles& files, const QString& target)
{
    earlierFile(files, target);
    const HANDLE handle =
        CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(target).utf16()),
                    GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot hold the file open");
    return std::shared_ptr<void>(handle, [](HANDLE h) { CloseHandle(h); });
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ReplacingFileTargets,
    ::testing::Values(TargetCase{"HeldOpenByAnotherProgram", heldOpenWithoutSharing,
                                 QStringLiteral("planilha.csv"),
                                 QStringLiteral("o arquivo está aberto em outro programa")},
                      // The reason said, not a FIFO or a socket, which Windows has not.
                      TargetCase{"DeviceName", nothing, QStringLiteral("NUL.csv"),
                                 QStringLiteral("o Windows reserva esse nome para um "
                                                "dispositivo")}),
    CaseName());
#endif
} // namespace
