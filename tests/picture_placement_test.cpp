// Placing pictures: the pixel mixer, blending between contexts, DrawImage on the chart canvas,
// the file loaders and the messages they show.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <thread>

#include "draw/blend.h"
#include "picture/image_from.h"
#include "error_raised.h"
#include "kelvane/cChart.h"
#include "picture_helpers.h"
#include "runtime/show_message.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::errorRaisedBy;

constexpr const char* kLoadFailed = "装载图片失败,请检查图片路径或者是否是合法图片!";
constexpr const char* kNeedBytes = "You must pass a non-empty byte array to this function!";

// ---- BlendPixel -------------------------------------------------------------------------------

TEST(BlendPixel, OpacityZeroKeepsTheDestinationAndFullOpacityTakesTheSource) {
    EXPECT_EQ(BlendPixel(0x00C86432, 0x000B151F, 0), 0x00C86432u);
    EXPECT_EQ(BlendPixel(0x00C86432, 0x000B151F, 255), 0x000B151Fu);
}

TEST(BlendPixel, HalfOpacityRoundsRedAndGreenDownButBlueToNearest) {
    // 128/255 of (200, 100, 50) plus 127/255 of (11, 21, 31) is (105.87, 60.65, 40.54).
    EXPECT_EQ(BlendPixel(0x00C86432, 0x000B151F, 127), 0x00693C29u);
    EXPECT_EQ(BlendPixel(0x00FFFFFF, 0x00000000, 127), 0x00808080u);
    EXPECT_EQ(BlendPixel(0x00000000, 0x00FFFFFF, 127), 0x007F7F7Fu);
    // 128/255 of 1 is 0.502: blue becomes 1, red and green 0.
    EXPECT_EQ(BlendPixel(0x00010101, 0x00000000, 127), 0x00000001u);
}

// ---- BlendBitmap ------------------------------------------------------------------------------

constexpr COLORREF kBack = RGB(200, 100, 50);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A 3 x 2 picture with white and red among other colours; its source context.
class PictureSource {
public:
    static constexpr COLORREF kPixels[2][3] = {{RGB(10, 20, 30), kWhite, kRed},
                                               {RGB(1, 2, 3), RGB(250, 250, 250), RGB(0, 0, 255)}};
    PictureSource() : m_canvas(3, 2, 0) {
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) SetPixel(m_canvas.dc(), x, y, kPixels[y][x]);
    }
    HDC dc() const { return m_canvas.dc(); }

private:
    test::TestCanvas m_canvas;
};

TEST(BlendBitmap, FullOpacityCopiesTheBlockExceptKeyColouredPixels) {
    test::TestCanvas dest(10, 8, kBack);
    PictureSource src;
    BlendBitmap(dest.dc(), 2, 3, 3, 2, src.dc(), 0, 0, 255, Colour(kWhite), 1);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const COLORREF p = PictureSource::kPixels[y][x];
            EXPECT_EQ(GetPixel(dest.dc(), 2 + x, 3 + y), p == kWhite ? kBack : p) << x << "," << y;
        }
    }
    EXPECT_EQ(GetPixel(dest.dc(), 1, 3), kBack);
    EXPECT_EQ(GetPixel(dest.dc(), 5, 3), kBack);
    EXPECT_EQ(GetPixel(dest.dc(), 2, 2), kBack);
    EXPECT_EQ(GetPixel(dest.dc(), 2, 5), kBack);
}

TEST(BlendBitmap, WithoutTheKeyFlagEveryPixelIsBlended) {
    test::TestCanvas dest(10, 8, kBack);
    PictureSource src;
    BlendBitmap(dest.dc(), 0, 0, 3, 2, src.dc(), 0, 0, 255, Colour(kWhite), 0);
    EXPECT_EQ(GetPixel(dest.dc(), 1, 0), kWhite);
}

TEST(BlendBitmap, SourcePositionPicksTheBlock) {
    test::TestCanvas dest(10, 8, kBack);
    PictureSource src;
    BlendBitmap(dest.dc(), 4, 4, 2, 1, src.dc(), 1, 1, 255, 0, 1);
    EXPECT_EQ(GetPixel(dest.dc(), 4, 4), RGB(250, 250, 250));
    EXPECT_EQ(GetPixel(dest.dc(), 5, 4), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dest.dc(), 6, 4), kBack);
}

TEST(BlendBitmap, EmptyBlocksAndZeroOpacityChangeNothing) {
    test::TestCanvas dest(10, 8, kBack);
    PictureSource src;
    BlendBitmap(dest.dc(), 0, 0, 3, 2, src.dc(), 0, 0, 0, 0, 0);
    BlendBitmap(dest.dc(), 0, 0, 0, 2, src.dc(), 0, 0, 255, 0, 0);
    BlendBitmap(dest.dc(), 0, 0, 3, -2, src.dc(), 0, 0, 255, 0, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(GetPixel(dest.dc(), x, y), kBack);
}

TEST(BlendBitmap, CoordinatesAtTheEndsOf32BitsFinishQuicklyAndStayInside) {
    test::TestCanvas dest(10, 8, kBack);
    PictureSource src;
    const auto start = std::chrono::steady_clock::now();
    BlendBitmap(dest.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, src.dc(), 0, 0, 255, 0, 0);
    BlendBitmap(dest.dc(), INT_MAX, INT_MAX, INT_MAX, INT_MAX, src.dc(), INT_MIN, INT_MIN, 255, 0, 0);
    BlendBitmap(dest.dc(), -5, -5, INT_MAX, INT_MAX, src.dc(), INT_MAX, INT_MAX, 128, 0, 1);
    BlendBitmap(dest.dc(), 9, 7, INT_MAX, INT_MAX, src.dc(), INT_MIN, INT_MIN, 255, 0, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(GetPixel(dest.dc(), 0, 0) & 0xFF000000u, 0u);
}

TEST(BlendBitmap, NullContextsAreHarmless) {
    test::TestCanvas dest(10, 8, kBack);
    PictureSource src;
    BlendBitmap(nullptr, 0, 0, 3, 2, src.dc(), 0, 0, 255, 0, 0);
    BlendBitmap(dest.dc(), 0, 0, 3, 2, nullptr, 0, 0, 255, 0, 1);
    BlendBitmap(nullptr, 0, 0, 3, 2, nullptr, 0, 0, 255, 0, 1);
}

// ---- DrawImage --------------------------------------------------------------------------------

class DrawImage : public ::testing::Test {
protected:
    void SetUp() override {
        chart.Width(20);
        chart.Height(12);
        chart.BackgroundColor(Colour(kBack));
        chart.InitChart();
        std::vector<COLORREF> pixels;
        for (const auto& row : PictureSource::kPixels) pixels.insert(pixels.end(), row, row + 3);
        picture = folder.write("picture.bmp", test::bmpFile(3, 2, pixels));
        single = folder.write("single.bmp", test::bmpFile(1, 1, {RGB(11, 21, 31)}));
    }
    COLORREF at(int x, int y) { return GetPixel(chart.canvasDC(), x, y); }
    std::vector<COLORREF> snapshot() {
        std::vector<COLORREF> all;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 20; ++x) all.push_back(at(x, y));
        return all;
    }

    cChart chart;
    test::TempFolder folder;
    std::string picture, single;
    test::MessageLog log;
};

TEST_F(DrawImage, FullOpacityPlacesThePictureLeavingWhitePixelsOut) {
    EXPECT_EQ(chart.DrawImage(picture, 4, 5), 1);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const COLORREF p = PictureSource::kPixels[y][x];
            EXPECT_EQ(at(4 + x, 5 + y), p == kWhite ? kBack : p) << x << "," << y;
        }
    }
    EXPECT_EQ(at(3, 5), kBack);
    EXPECT_EQ(at(7, 5), kBack);
    EXPECT_EQ(at(4, 4), kBack);
    EXPECT_EQ(at(4, 7), kBack);
    EXPECT_EQ(chart.ErrorInfo(), "");
    EXPECT_TRUE(log.messages().empty());
}

TEST_F(DrawImage, AnotherKeyColourLeavesOutExactlyThatColour) {
    EXPECT_EQ(chart.DrawImage(picture, 4, 5, Colour(kRed)), 1);
    EXPECT_EQ(at(5, 5), kWhite);
    EXPECT_EQ(at(6, 5), kBack);
    EXPECT_EQ(at(5, 6), RGB(250, 250, 250));
}

TEST_F(DrawImage, HalfOpacityMixesWith127Of255) {
    EXPECT_EQ(chart.DrawImage(single, 6, 6, Colour(kWhite), 50), 1);
    EXPECT_EQ(at(6, 6), RGB(105, 60, 41));
    EXPECT_EQ(at(7, 6), kBack);
}

TEST_F(DrawImage, ZeroOpacityDrawsNothingAndSucceeds) {
    const std::vector<COLORREF> before = snapshot();
    EXPECT_EQ(chart.DrawImage(picture, 4, 5, Colour(kWhite), 0), 1);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(DrawImage, PicturesPartlyOffTheCanvasAreClipped) {
    EXPECT_EQ(chart.DrawImage(picture, -1, -1), 1);
    EXPECT_EQ(at(0, 0), RGB(250, 250, 250));
    EXPECT_EQ(at(1, 0), RGB(0, 0, 255));
    EXPECT_EQ(chart.DrawImage(picture, 18, 11), 1);
    EXPECT_EQ(at(18, 11), RGB(10, 20, 30));
    EXPECT_EQ(at(19, 11), RGB(0, 0, 0));  // white leaves the canvas frame
    EXPECT_EQ(chart.DrawImage(picture, 2e9f, -2e9f), 1);
}

TEST_F(DrawImage, PositionRoundsToTheNearestPixelTiesToEven) {
    EXPECT_EQ(chart.DrawImage(single, 2.5f, 3.5f, Colour(kWhite), 100), 1);
    EXPECT_EQ(at(2, 4), RGB(11, 21, 31));
    EXPECT_EQ(at(3, 4), kBack);
    EXPECT_EQ(at(2, 3), kBack);
}

TEST_F(DrawImage, OpacityBeyondAByteOrAPositionBeyond32BitsOverflows) {
    const std::vector<COLORREF> before = snapshot();
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawImage(picture, 4, 5, Colour(kWhite), 101); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawImage(picture, 4, 5, Colour(kWhite), -1); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawImage(picture, 3e9f, 5); }), kErrOverflow);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(chart.ErrorInfo(), "");
}

TEST_F(DrawImage, MissingFileReplacesTheErrorTextAndAsksForBytes) {
    const std::vector<COLORREF> before = snapshot();
    EXPECT_EQ(chart.DrawImage(folder.path() + "/none.bmp", 4, 5), 0);
    EXPECT_EQ(chart.DrawImage(folder.path() + "/none.bmp", 4, 5), 0);
    EXPECT_EQ(chart.ErrorInfo(), kLoadFailed);  // replaced, not appended
    EXPECT_EQ(log.messages(), (std::vector<std::string>{kNeedBytes, kNeedBytes}));
    EXPECT_EQ(chart.DrawImage(folder.path(), 4, 5), 0);  // a folder is no file
    EXPECT_EQ(snapshot(), before);
}

TEST_F(DrawImage, EmptyFileReportsTheSubscriptErrorThenAsksForBytes) {
    EXPECT_EQ(chart.DrawImage(folder.write("empty.jpg", {}), 4, 5), 0);
    EXPECT_EQ(chart.ErrorInfo(), kLoadFailed);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"9 - Subscript out of range", kNeedBytes}));
}

TEST_F(DrawImage, TruncatedAndCorruptFilesOfEveryFormatFailQuietly) {
    const std::vector<COLORREF> before = snapshot();
    for (const char* name : {"rgb24.bmp", "rle8.bmp", "blocks.jpg", "blocks_progressive.jpg", "basic.gif",
                             "interlaced.gif"}) {
        std::vector<uint8_t> bytes = test::samplePicture(name);
        bytes.resize(bytes.size() * 2 / 3);
        EXPECT_EQ(chart.DrawImage(folder.write(std::string("cut_") + name, bytes), 4, 5), 0) << name;
    }
    const std::vector<uint8_t> corrupt[] = {
        {'B', 'M', 1, 2, 3},
        {0xFF, 0xD8, 0xFF, 0xE0, 0, 2, 0xFF, 0xD9},
        {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, ',', 0},
        {'<', 'h', 't', 'm', 'l', '>'},
    };
    for (const auto& bytes : corrupt) EXPECT_EQ(chart.DrawImage(folder.write("corrupt", bytes), 4, 5), 0);
    EXPECT_EQ(chart.ErrorInfo(), kLoadFailed);
    EXPECT_TRUE(log.messages().empty());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(DrawImage, EveryFormatIsPlaced) {
    struct Case {
        const char* name;
        COLORREF topLeft;
        int tolerance;
    };
    for (const Case& c : {Case{"rgb24.bmp", RGB(10, 5, 255), 0}, Case{"rle4.bmp", RGB(0, 20, 255), 0},
                          Case{"basic.gif", RGB(0, 20, 255), 0}, Case{"blocks.jpg", RGB(200, 30, 40), 6}}) {
        EXPECT_EQ(chart.DrawImage(test::samplePath(c.name), 1, 1), 1) << c.name;
        const COLORREF p = at(1, 1);
        EXPECT_NEAR(GetRValue(p), GetRValue(c.topLeft), c.tolerance) << c.name;
        EXPECT_NEAR(GetGValue(p), GetGValue(c.topLeft), c.tolerance) << c.name;
        EXPECT_NEAR(GetBValue(p), GetBValue(c.topLeft), c.tolerance) << c.name;
    }
    EXPECT_EQ(chart.ErrorInfo(), "");
}

TEST_F(DrawImage, PicturesOverMaxPicturePixelsAreRefusedAsUnreadableOnes) {
    struct Case {
        const char* name;
        int32_t pixels;
    };
    const std::vector<COLORREF> before = snapshot();
    for (const Case& c : {Case{"rgb24.bmp", 35}, Case{"rle8.bmp", 35}, Case{"basic.gif", 35}, Case{"blocks.jpg", 256}}) {
        for (int32_t cap : {c.pixels - 1, 0, -1}) {
            chart.MaxPicturePixels(cap);
            EXPECT_EQ(chart.DrawImage(test::samplePath(c.name), 1, 1, 0xFFFFFFFF), 0) << c.name << " " << cap;
            EXPECT_EQ(chart.ErrorInfo(), kLoadFailed);
        }
        EXPECT_EQ(snapshot(), before) << c.name;
        chart.MaxPicturePixels(c.pixels);
        EXPECT_EQ(chart.DrawImage(test::samplePath(c.name), 1, 1, 0xFFFFFFFF), 1) << c.name;
        EXPECT_NE(snapshot(), before) << c.name;
        chart.InitChart();
    }
    EXPECT_TRUE(log.messages().empty());
}

TEST(DrawImageWithoutCanvas, ValidPictureSucceedsWithoutDrawing) {
    cChart chart;
    EXPECT_EQ(chart.DrawImage(test::samplePath("rgb24.bmp"), 0, 0), 1);
    EXPECT_EQ(chart.canvasDC(), nullptr);
}

// ---- Loaders and messages ---------------------------------------------------------------------

TEST(LoadFileBytes, ReadsTheWholeFile) {
    const std::optional<std::vector<uint8_t>> bytes = mImageFrom::LoadFileBytes(test::samplePath("rgb24.bmp"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, test::samplePicture("rgb24.bmp"));
}

TEST(LoadFileBytes, MissingFileOrFolderGivesNoArrayWithoutAMessage) {
    test::MessageLog log;
    test::TempFolder folder;
    EXPECT_FALSE(mImageFrom::LoadFileBytes(folder.path() + "/missing.gif"));
    EXPECT_FALSE(mImageFrom::LoadFileBytes(folder.path()));
    EXPECT_FALSE(mImageFrom::LoadFileBytes(""));
    EXPECT_TRUE(log.messages().empty());
}

TEST(LoadFileBytes, UnreadableFileReportsAPathAccessError) {
    test::MessageLog log;
    test::TempFolder folder;
    const std::string path = folder.write("locked.bmp", {1, 2, 3});
    chmod(path.c_str(), 0);
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
        GTEST_SKIP() << "this user can read files without permission";
    }
    EXPECT_FALSE(mImageFrom::LoadFileBytes(path));
    EXPECT_EQ(log.messages(), std::vector<std::string>{"75 - Path/File access error"});
}

TEST(PictureFromBytes, NoArrayAsksForBytesButAnEmptyArrayIsSilentlyNoPicture) {
    test::MessageLog log;
    EXPECT_TRUE(mImageFrom::PictureFromBytes(std::nullopt).empty());
    EXPECT_TRUE(mImageFrom::PictureFromBytes(std::vector<uint8_t>{}).empty());
    EXPECT_EQ(log.messages(), std::vector<std::string>{kNeedBytes});
}

TEST(Messages, DefaultHandlerWritesALineToStandardError) {
    SetMessageHandler(nullptr);
    testing::internal::CaptureStderr();
    ShowMessage("53 - File not found");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "53 - File not found\n");
}

TEST(Messages, HandlersBelongToTheThreadThatSetThem) {
    test::MessageLog log;
    std::vector<std::string> other;
    std::thread([&] {
        SetMessageHandler([&](const std::string& text) { other.push_back(text); });
        ShowMessage("from the other thread");
    }).join();
    ShowMessage("from this thread");
    EXPECT_EQ(other, std::vector<std::string>{"from the other thread"});
    EXPECT_EQ(log.messages(), std::vector<std::string>{"from this thread"});
}

}  // namespace
}  // namespace kelvane
