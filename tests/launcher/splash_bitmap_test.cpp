// installer.bmp into the splash's memory DC: the pixels read back at their
// places for every depth the loader takes, and what each malformed file gets.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "boundary/open_file.h"
#include "launcher/bmp_builder.h"
#include "launcher/splash_bitmap.h"
#include "support/cp932_calls.h"

namespace {

const char *const FILE_NAME = "splash_test.bmp";

// A colour that differs in every channel from (x, y) to the next pixel.
uint32_t rgb_at(int x, int y)
{
    return (uint32_t)((x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x * 7 + y * 3) & 0xFF));
}

class Splash : public testing::Test {
protected:
    void TearDown() override
    {
        splash.release();
        splash.image.release();
        DeleteFile932(FILE_NAME);
    }
    void load(const BmpRecipe &recipe)
    {
        ASSERT_TRUE(write_bmp(FILE_NAME, recipe));
        splash.load(FILE_NAME);
        ASSERT_NE(nullptr, splash.memory_dc);
    }
    COLORREF at(int x, int y) { return GetPixel(splash.memory_dc, x, y); }

    SplashBitmap splash{};
};

TEST_F(Splash, TwentyFourBitPictureShowsEveryPixelInPlace)
{
    BmpRecipe recipe;
    recipe.pixel = rgb_at;
    load(recipe);
    ASSERT_NE(nullptr, splash.image.bitmap);
    EXPECT_EQ(256, splash.image.width);
    EXPECT_EQ(256, splash.image.height);
    EXPECT_EQ(196608, splash.image.image_size);
    EXPECT_EQ(0, splash.image.colour_count);
    EXPECT_EQ(54, splash.image.layout.pixel_offset);
    for (int y = 0; y < 256; y += 15)
        for (int x = 0; x < 256; x += 17)
            ASSERT_EQ(colorref_of(rgb_at(x, y)), at(x, y)) << x << "," << y;
    EXPECT_EQ(colorref_of(rgb_at(255, 255)), at(255, 255));
}

TEST_F(Splash, IndexedPicturesTakeTheirColoursFromTheTable)
{
    auto palette = [](int i) { return (uint32_t)(0x102030 + i * 0x010203); };
    const struct {
        const char *name;
        int bits;
        uint32_t colours_used;
        int expected_offset;
    } cases[] = {
        {"8-bit, biClrUsed 0", 8, 0, 1078},
        {"8-bit, biClrUsed 16", 8, 16, 118},
        {"4-bit", 4, 0, 118},
        {"1-bit", 1, 0, 62},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        int colours = c.colours_used ? (int)c.colours_used : 1 << c.bits;
        BmpRecipe recipe;
        recipe.bits = c.bits;
        recipe.colours_used = c.colours_used;
        recipe.palette = palette;
        recipe.pixel = [colours](int x, int y) { return (uint32_t)((x + 3 * y) % colours); };
        load(recipe);
        ASSERT_NE(nullptr, splash.image.bitmap);
        EXPECT_EQ(c.expected_offset, splash.image.layout.pixel_offset);
        EXPECT_EQ(1 << c.bits, splash.image.colour_count);
        for (int y = 0; y < 256; y += 31)
            for (int x = 0; x < 256; x += 29)
                ASSERT_EQ(colorref_of(palette((x + 3 * y) % colours)), at(x, y)) << x << "," << y;
    }
}

TEST_F(Splash, RowsOf255PixelsKeepTheirFillBytesOutOfThePicture)
{
    BmpRecipe recipe;
    recipe.width = 255;
    recipe.pixel = rgb_at;
    load(recipe);
    EXPECT_EQ(768, splash.image.layout.stride);
    for (int y : {0, 1, 128, 254, 255}) {
        EXPECT_EQ(colorref_of(rgb_at(0, y)), at(0, y)) << y;
        EXPECT_EQ(colorref_of(rgb_at(254, y)), at(254, y)) << y;
    }
}

TEST_F(Splash, PixelsAreReadDirectlyBehindTheTableNotAtTheFileOffset)
{
    // bfOffBits points 40 bytes further on; the loader does not consult it,
    // so the first 40 bytes read as pixels are the gap's 0x77 bytes.
    BmpRecipe recipe;
    recipe.bits = 8;
    recipe.gap = 40;
    recipe.palette = [](int i) { return (uint32_t)(i << 16); };
    recipe.pixel = [](int x, int) { return (uint32_t)(x & 0xFF); };
    load(recipe);
    ASSERT_NE(nullptr, splash.image.bitmap);
    EXPECT_EQ(1078, splash.image.layout.pixel_offset);
    // Bottom row (y = 255): its first 40 bytes are the gap, then the row
    // starts again from index 0.
    EXPECT_EQ(colorref_of(0x77u << 16), at(0, 255));
    EXPECT_EQ(colorref_of(0x77u << 16), at(39, 255));
    EXPECT_EQ(colorref_of(0u), at(40, 255));
    EXPECT_EQ(colorref_of(5u << 16), at(45, 255));
}

TEST_F(Splash, AMissingFileLeavesAMemoryDcWithoutAPicture)
{
    DeleteFile932(FILE_NAME);
    DibImage image{};
    EXPECT_EQ(0, image.load(FILE_NAME));
    EXPECT_EQ(nullptr, image.header_copy);
    splash.load(FILE_NAME);
    EXPECT_NE(nullptr, splash.memory_dc);
    EXPECT_EQ(nullptr, splash.image.bitmap);
}

TEST_F(Splash, ANewLoadReplacesThePictureAndAFailedOneLeavesNone)
{
    BmpRecipe recipe;
    recipe.pixel = [](int, int) { return 0x112233u; };
    load(recipe);
    EXPECT_EQ(colorref_of(0x112233), at(9, 9));
    recipe.pixel = [](int, int) { return 0x445566u; };
    load(recipe);
    EXPECT_EQ(colorref_of(0x445566), at(9, 9));
    recipe.compression = 1;
    load(recipe);
    EXPECT_EQ(nullptr, splash.image.bitmap);
    EXPECT_EQ(nullptr, splash.image.header_copy);
}

TEST_F(Splash, ReleaseTwiceIsHarmless)
{
    load(BmpRecipe{});
    splash.release();
    splash.release();
    splash.image.release();
    EXPECT_EQ(nullptr, splash.memory_dc);
    EXPECT_EQ(nullptr, splash.image.bitmap);
}

// What each malformed picture gets: no picture, or a safe one.
TEST_F(Splash, MalformedPicturesGetNoPictureOrASafeOne)
{
    const uint32_t blue = 0x0000FF;
    auto solid = [blue](int, int) { return blue; };
    struct Case {
        const char *name;
        BmpRecipe recipe;
        bool picture;
    };
    std::vector<Case> cases;
    auto add = [&](const char *name, bool picture, std::function<void(BmpRecipe &)> edit) {
        BmpRecipe s;
        s.pixel = solid;
        edit(s);
        cases.push_back({name, s, picture});
    };
    add("header cut at 30 bytes", false, [](BmpRecipe &s) { s.truncate_to = 30; });
    add("header cut at 53 bytes", false, [](BmpRecipe &s) { s.truncate_to = 53; });
    add("width negative", false, [](BmpRecipe &s) { s.width = -256; s.height = 1; });
    add("width zero", false, [](BmpRecipe &s) { s.width = 0; s.height = 1; });
    add("stride x height past 32 bits", false, [](BmpRecipe &s) {
        s.width = 65536; s.height = 65536; s.truncate_to = 4000; });
    add("width wraps the stride", false, [](BmpRecipe &s) {
        s.width = 0x7FFFFFFF; s.height = 1; s.bits = 32; s.truncate_to = 4000; });
    add("height most negative", false, [](BmpRecipe &s) {
        s.width = 4; s.height = 1; s.truncate_to = 70; });
    add("RLE8", false, [](BmpRecipe &s) { s.bits = 8; s.compression = 1; });
    add("RLE4", false, [](BmpRecipe &s) { s.bits = 4; s.compression = 2; });
    add("bit fields", false, [](BmpRecipe &s) { s.bits = 32; s.compression = 3; });
    add("core header (12 bytes)", false, [](BmpRecipe &s) { s.info_size = 12; });
    add("bit count 7", false, [](BmpRecipe &s) { s.bits = 7; s.width = 8; s.height = 8; s.table_entries = 0; });
    for (Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name) == "height most negative") {
            // The builder cannot make 2^31 rows; patch the field after it.
            std::string bytes = bmp_bytes(c.recipe);
            bytes[22] = 0; bytes[23] = 0; bytes[24] = 0; bytes[25] = (char)0x80;
            FILE *f = open_file(FILE_NAME, "wb");
            fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
            splash.load(FILE_NAME);
        } else {
            load(c.recipe);
        }
        EXPECT_EQ(nullptr, splash.image.bitmap);
        EXPECT_EQ(nullptr, splash.image.header_copy);
        EXPECT_NE(nullptr, splash.memory_dc);
    }
}

TEST_F(Splash, ATruncatedPixelBlockShowsWhatArrivedAndBlackForTheRest)
{
    // Rows are stored bottom first: half the pixel bytes are the lower half.
    BmpRecipe recipe;
    recipe.pixel = [](int, int) { return 0x00FF00u; };
    recipe.truncate_to = 54 + 196608 / 2;
    load(recipe);
    ASSERT_NE(nullptr, splash.image.bitmap);
    EXPECT_EQ(colorref_of(0x00FF00), at(10, 255));
    EXPECT_EQ(colorref_of(0x00FF00), at(10, 128));
    EXPECT_EQ(0u, at(10, 127));
    EXPECT_EQ(0u, at(10, 0));
}

TEST_F(Splash, ATruncatedColourTableLeavesTheMissingEntriesBlack)
{
    BmpRecipe recipe;
    recipe.bits = 8;
    recipe.palette = [](int) { return 0xFFFFFFu; };
    recipe.pixel = [](int x, int) { return (uint32_t)(x < 128 ? 1 : 200); };
    recipe.truncate_to = 54 + 4 * 100;           // entries 0..99 arrive
    load(recipe);
    ASSERT_NE(nullptr, splash.image.bitmap);
    // No pixel data arrived at all: every pixel is index 0, which is white.
    EXPECT_EQ(colorref_of(0xFFFFFF), at(5, 5));
}

TEST_F(Splash, SurplusTableEntriesAreSkippedAndThePixelsStillFound)
{
    BmpRecipe recipe;
    recipe.bits = 8;
    recipe.colours_used = 300;                   // 44 entries beyond 256
    recipe.palette = [](int i) { return i < 256 ? (uint32_t)(i << 8) : 0xFF00FFu; };
    recipe.pixel = [](int x, int) { return (uint32_t)(x & 0xFF); };
    load(recipe);
    ASSERT_NE(nullptr, splash.image.bitmap);
    EXPECT_EQ(1254, splash.image.layout.pixel_offset);
    EXPECT_EQ(256u, splash.image.header_copy->bmiHeader.biClrUsed);
    EXPECT_EQ(colorref_of(0), at(0, 0));
    EXPECT_EQ(colorref_of(200u << 8), at(200, 17));
}

TEST_F(Splash, ALongerInfoHeaderIsSteppedOver)
{
    for (uint32_t size : {52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(size);
        BmpRecipe recipe;
        recipe.info_size = size;
        recipe.pixel = rgb_at;
        load(recipe);
        ASSERT_NE(nullptr, splash.image.bitmap);
        EXPECT_EQ(40u, splash.image.header_copy->bmiHeader.biSize);
        EXPECT_EQ(colorref_of(rgb_at(3, 4)), at(3, 4));
        EXPECT_EQ(colorref_of(rgb_at(250, 251)), at(250, 251));
    }
}

TEST_F(Splash, ATopDownPictureIsShownTheRightWayUp)
{
    BmpRecipe recipe;
    recipe.height = -256;
    recipe.pixel = rgb_at;
    load(recipe);
    ASSERT_NE(nullptr, splash.image.bitmap);
    EXPECT_EQ(colorref_of(rgb_at(0, 0)), at(0, 0));
    EXPECT_EQ(colorref_of(rgb_at(100, 3)), at(100, 3));
    EXPECT_EQ(colorref_of(rgb_at(7, 250)), at(7, 250));
}

TEST_F(Splash, BiClrUsedOfATrueColourPictureIsNotATable)
{
    // As written: no table is read for 24 bits, so the pixels come from 54
    // and the first 16 × 4 bytes of the file's "table" are read as pixels.
    BmpRecipe recipe;
    recipe.colours_used = 16;
    recipe.table_entries = 0;
    recipe.pixel = rgb_at;
    load(recipe);
    ASSERT_NE(nullptr, splash.image.bitmap);
    EXPECT_EQ(0u, splash.image.header_copy->bmiHeader.biClrUsed);
    EXPECT_EQ(colorref_of(rgb_at(9, 9)), at(9, 9));
}

TEST_F(Splash, APictureLargerThanTheSplashKeepsItsTopLeftCorner)
{
    BmpRecipe recipe;
    recipe.width = 300;
    recipe.height = 280;
    recipe.pixel = rgb_at;
    load(recipe);
    ASSERT_NE(nullptr, splash.image.bitmap);
    EXPECT_EQ(colorref_of(rgb_at(0, 0)), at(0, 0));
    EXPECT_EQ(colorref_of(rgb_at(255, 255)), at(255, 255));
}

}  // namespace
