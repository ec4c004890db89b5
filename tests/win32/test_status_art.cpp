// The program's pictures as linked into it: every icon, bitmap and the cursor
// loads, with the sizes the program relies on, the status bitmap's teal
// background, transparent overlays and the cursor's hotspot at the arrow tip.
#include <gtest/gtest.h>
#include <windows.h>

#include "app.h"
#include "resource.h"

namespace {

class ArtTest : public ::testing::Test {
protected:
    void SetUp() override { SetAppInstance(GetModuleHandleA(nullptr)); }
};

// Icon masks and colour bitmaps from GetIconInfo, deleted at the end.
struct IconBitmaps {
    ICONINFO info = {};
    explicit IconBitmaps(HICON icon) { ok = GetIconInfo(icon, &info) != FALSE; }
    ~IconBitmaps() {
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    IconBitmaps(const IconBitmaps&) = delete;
    IconBitmaps& operator=(const IconBitmaps&) = delete;
    bool ok = false;
};

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// Pixel of a bitmap, read through a memory DC.
COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

struct IconCase {
    const char* label;
    int id;
    int size;  // requested edge in pixels
};

const IconCase kIcons[] = {
    {"program 32", IDI_PROGRAM, 32},         {"program 16", IDI_PROGRAM, 16},
    {"tab environment", IDI_TAB_ENVIRONMENT, 16}, {"tab other", IDI_TAB_OTHER, 16},
    {"tab font", IDI_TAB_FONT, 16},          {"tab paper", IDI_TAB_PAPER, 16},
    {"tab format", IDI_TAB_FORMAT, 16},      {"tab print", IDI_TAB_PRINT, 16},
    {"read only", IDI_STATUS_READONLY, 32},  {"update only", IDI_STATUS_UPDATEONLY, 32},
    {"neither", IDI_STATUS_NEITHER, 32},     {"perforation skip off", IDI_PERFSKIP_OFF, 32},
    {"perforation skip on", IDI_PERFSKIP_ON, 32}, {"paper set left", IDI_PAPERSET_LEFT, 32},
    {"paper set centre", IDI_PAPERSET_CENTER, 32},
};

TEST_F(ArtTest, EveryIconLoadsAtItsSize) {
    for (const IconCase& c : kIcons) {
        SCOPED_TRACE(c.label);
        HICON icon = static_cast<HICON>(
            LoadImageA(AppInstance, MAKEINTRESOURCEA(c.id), IMAGE_ICON, c.size, c.size, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr);
        {
            IconBitmaps bitmaps(icon);
            ASSERT_TRUE(bitmaps.ok);
            ASSERT_NE(bitmaps.info.hbmColor, nullptr) << "a colour icon";
            const SIZE size = BitmapSize(bitmaps.info.hbmColor);
            EXPECT_EQ(size.cx, c.size);
            EXPECT_EQ(size.cy, c.size);
        }
        DestroyIcon(icon);
        EXPECT_NE(LoadIconA(AppInstance, MAKEINTRESOURCEA(c.id)), nullptr);
    }
}

// The overlays are mostly transparent so that the printer shows through (the
// top-left corner in every one), and each has opaque pixels.
TEST_F(ArtTest, OverlaysAreTransparentWhereThePrinterShows) {
    const struct {
        const char* label;
        int id;
    } cases[] = {
        {"read only", IDI_STATUS_READONLY},
        {"update only", IDI_STATUS_UPDATEONLY},
        {"neither", IDI_STATUS_NEITHER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        IconBitmaps bitmaps(LoadIconA(AppInstance, MAKEINTRESOURCEA(c.id)));
        ASSERT_TRUE(bitmaps.ok);
        int transparent = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (PixelOf(bitmaps.info.hbmMask, x, y) == RGB(255, 255, 255)) ++transparent;
        EXPECT_EQ(PixelOf(bitmaps.info.hbmMask, 0, 0), RGB(255, 255, 255));
        EXPECT_GT(transparent, 32 * 32 / 3) << "the printer must show through";
        EXPECT_LT(transparent, 32 * 32) << "the overlay must show something";
    }
}

TEST_F(ArtTest, ToolbarStripIsFourSixteenPixelImages) {
    HBITMAP strip = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_TOOLBAR));
    ASSERT_NE(strip, nullptr);
    const SIZE size = BitmapSize(strip);
    EXPECT_EQ(size.cx, 64);
    EXPECT_EQ(size.cy, 16);
    // The background is silver, which the toolbar maps to the button face.
    EXPECT_EQ(PixelOf(strip, 0, 15), RGB(192, 192, 192));
    DeleteObject(strip);
}

TEST_F(ArtTest, StatusPrinterIsOnTeal) {
    HBITMAP picture = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_STATUS_PRINTER));
    ASSERT_NE(picture, nullptr);
    const SIZE size = BitmapSize(picture);
    EXPECT_EQ(size.cx, 35);
    EXPECT_EQ(size.cy, 35);
    EXPECT_EQ(PixelOf(picture, 0, 0), RGB(0, 128, 128));
    EXPECT_EQ(PixelOf(picture, 34, 34), RGB(0, 128, 128));
    EXPECT_NE(PixelOf(picture, 17, 20), RGB(0, 128, 128)) << "the printer itself";
    DeleteObject(picture);

    // Loaded as a DIB section the same way.
    HBITMAP section = static_cast<HBITMAP>(
        LoadImageA(AppInstance, MAKEINTRESOURCEA(IDB_STATUS_PRINTER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(PixelOf(section, 0, 0), RGB(0, 128, 128));
    DeleteObject(section);
}

TEST_F(ArtTest, HelpCursorHasItsHotspotAtTheArrowTip) {
    HCURSOR cursor = LoadCursorA(AppInstance, MAKEINTRESOURCEA(IDCUR_HELPMODE));
    ASSERT_NE(cursor, nullptr);
    IconBitmaps bitmaps(cursor);
    ASSERT_TRUE(bitmaps.ok);
    EXPECT_FALSE(bitmaps.info.fIcon);
    EXPECT_EQ(bitmaps.info.xHotspot, 0u);
    EXPECT_EQ(bitmaps.info.yHotspot, 0u);
    // Monochrome cursor: the mask holds AND and XOR halves, 32 x 64.
    const SIZE size = BitmapSize(bitmaps.info.hbmMask);
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(size.cy, bitmaps.info.hbmColor ? 32 : 64);
    // The tip pixel is opaque (AND bit 0), the far corner transparent.
    EXPECT_EQ(PixelOf(bitmaps.info.hbmMask, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(bitmaps.info.hbmMask, 31, 31), RGB(255, 255, 255));
}

}  // namespace
