#include "app/picturebutton.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"

#include <QFileInfo>
#include <QImage>
#include <QPixmap>

#ifdef VERINOVA_PRERENDERED_ART
#include "app/bitmapiconengine.h"
#else
#include "app/svgiconengine.h"

#include <QSvgRenderer>
#endif

#include <gtest/gtest.h>

#include <string>

namespace {

#ifdef VERINOVA_PRERENDERED_ART
QIcon artIcon(const char* name)
{
    return BitmapIconEngine::icon(QStringLiteral(":/art"), QString::fromLatin1(name));
}
#else
QString artPath(const char* name)
{
    return QStringLiteral(":/art/") + QString::fromLatin1(name) + QStringLiteral(".svg");
}

QIcon artIcon(const char* name)
{
    return SvgIconEngine::icon(artPath(name));
}
#endif

struct Art
{
    const char* name;
    QSize size;
};

void PrintTo(const Art& c, std::ostream* os)
{
    *os << c.name;
}

class ArtTest : public ::testing::TestWithParam<Art>
{
};

TEST_P(ArtTest, HasItsSizeATransparentGroundAndStaysSharpWhenScaled)
{
    const Art& art = GetParam();
#ifndef VERINOVA_PRERENDERED_ART
    EXPECT_EQ(QSvgRenderer(artPath(art.name)).defaultSize(), art.size);
#endif
    const QIcon icon = artIcon(art.name);
    ASSERT_FALSE(icon.isNull());

    const QImage image = icon.pixmap(art.size, 1.0).toImage();
    ASSERT_EQ(image.size(), art.size);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    EXPECT_GT(drawn, image.width() * image.height() / 10) << "hardly anything drawn";
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);

    // At twice the density it is drawn anew with twice the pixels, not blown
    // up from the small one: a blown-up image is made of 2 x 2 blocks.
    const QPixmap dense = icon.pixmap(art.size, 2.0);
    EXPECT_EQ(dense.deviceIndependentSize().toSize(), art.size);
    const QImage fine = dense.toImage();
    ASSERT_EQ(fine.size(), art.size * 2);
    bool finerThanBlocks = false;
    for (int y = 0; y < fine.height(); y += 2)
        for (int x = 0; x < fine.width(); x += 2) {
            const QRgb p = fine.pixel(x, y);
            finerThanBlocks = finerThanBlocks || fine.pixel(x + 1, y) != p ||
                              fine.pixel(x, y + 1) != p || fine.pixel(x + 1, y + 1) != p;
        }
    EXPECT_TRUE(finerThanBlocks);
}

INSTANTIATE_TEST_SUITE_P(Pictures, ArtTest,
                         ::testing::Values(Art{"pasta-fechada", {16, 16}},
                                           Art{"pasta-aberta", {16, 16}},
                                           Art{"pasta-aberta-inativa", {16, 16}},
                                           Art{"impressora", {25, 25}}, Art{"otimizar", {71, 33}},
                                           Art{"processar", {71, 33}}, Art{"fechar", {71, 33}},
                                           Art{"janela", {16, 16}}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::erase(name, '-');
                             return name;
                         });

#ifndef VERINOVA_PRERENDERED_ART
TEST(SvgIconEngineTest, GivesNoIconForWhatIsNoSvg)
{
    TestFiles files;
    EXPECT_TRUE(SvgIconEngine::icon(files.write(QStringLiteral("not.svg"), "GIF89a")).isNull());
    EXPECT_TRUE(SvgIconEngine::icon(files.path(QStringLiteral("missing.svg"))).isNull());
}
#endif

// Pictures in one pure colour each, to find them in what the button draws.
constexpr QRgb kUp = qRgb(0, 255, 0);
constexpr QRgb kDown = qRgb(255, 0, 0);
constexpr QRgb kDisabled = qRgb(0, 0, 255);

#ifdef VERINOVA_PRERENDERED_ART
QIcon solid(TestFiles& files, const char* name, QRgb colour, QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    const QString stem = QString::fromLatin1(name).section(u'.', 0, 0);
    const QString path = files.path(stem + QStringLiteral("-100.png"));
    if (!image.save(path))
        throw std::runtime_error("cannot write a picture");
    return BitmapIconEngine::icon(QFileInfo(path).absolutePath(), stem);
}
#else
QIcon solid(TestFiles& files, const char* name, QRgb colour, QSize size)
{
    const std::string w = std::to_string(size.width());
    const std::string h = std::to_string(size.height());
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w +
                            "\" height=\"" + h + "\"><rect width=\"" + w + "\" height=\"" + h +
                            "\" fill=\"" + QColor(colour).name().toStdString() + "\"/></svg>";
    return SvgIconEngine::icon(files.write(QString::fromLatin1(name), svg));
}
#endif

// The smallest rectangle that holds every pixel of that colour.
QRect extentOf(const QImage& image, QRgb colour)
{
    QRect extent;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                extent |= QRect(x, y, 1, 1);
    return extent;
}

struct Centring
{
    const char* name;
    QSize picture;
    QSize button;
};

void PrintTo(const Centring& c, std::ostream* os)
{
    *os << c.name;
}

class CentringTest : public ::testing::TestWithParam<Centring>
{
};

TEST_P(CentringTest, DrawsThePictureAtItsSizeInTheMiddle)
{
    const Centring& c = GetParam();
    TestFiles files;
    PictureButton button;
    button.resize(c.button);
    button.setPicture(solid(files, "up.svg", kUp, c.picture), c.picture);

    const QImage image = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect extent = extentOf(image, kUp);
    ASSERT_FALSE(extent.isEmpty());
    EXPECT_EQ(extent.width(), std::min(c.picture.width(), c.button.width()));
    EXPECT_EQ(extent.height(), std::min(c.picture.height(), c.button.height()));
    EXPECT_LE(std::abs(extent.left() - (image.width() - 1 - extent.right())), 1);
    EXPECT_LE(std::abs(extent.top() - (image.height() - 1 - extent.bottom())), 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CentringTest,
                         ::testing::Values(Centring{"WordTallerThanButton", {71, 33}, {87, 25}},
                                           Centring{"Printer", {25, 25}, {87, 25}},
                                           Centring{"Folder", {16, 16}, {23, 21}},
                                           Centring{"OddInEven", {9, 9}, {20, 20}}),
                         CaseName());

struct StateCase
{
    const char* name;
    bool down;
    bool enabled;
    bool withStatePictures;
    QRgb shown; // the colour at the middle, or 0 for "faded up picture"
};

void PrintTo(const StateCase& c, std::ostream* os)
{
    *os << c.name;
}

class StateTest : public ::testing::TestWithParam<StateCase>
{
};

TEST_P(StateTest, ShowsThePictureOfItsState)
{
    const StateCase& c = GetParam();
    TestFiles files;
    PictureButton button;
    button.resize(40, 40);
    button.setPicture(solid(files, "up.svg", kUp, QSize(20, 20)), QSize(20, 20));
    if (c.withStatePictures) {
        button.setDownPicture(solid(files, "down.svg", kDown, QSize(20, 20)));
        button.setDisabledPicture(solid(files, "disabled.svg", kDisabled, QSize(20, 20)));
    }
    button.setDown(c.down);
    button.setEnabled(c.enabled);

    const QImage image = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb middle = image.pixel(image.rect().center());
    if (c.shown != 0) {
        EXPECT_EQ(middle, c.shown);
    } else {
        // Faded: green, but blended with the button beneath.
        EXPECT_NE(middle, kUp);
        EXPECT_GT(qGreen(middle), qRed(middle));
        EXPECT_GT(qGreen(middle), qBlue(middle));
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, StateTest,
    ::testing::Values(StateCase{"Up", false, true, true, kUp},
                      StateCase{"Down", true, true, true, kDown},
                      StateCase{"Disabled", false, false, true, kDisabled},
                      StateCase{"DownWithoutItsPicture", true, true, false, kUp},
                      StateCase{"DisabledWithoutItsPicture", false, false, false, 0}),
    CaseName());

} // namespace
