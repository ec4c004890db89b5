// The status picture of the panel (bitmap 211 with the overlay icon of the
// printer's rights, at the screen's scale) and the fitting of a text into a
// width with a device context's font.
#include "status.h"

#include "messages.h"
#include "panel.h"
#include "resource.h"
#include "scoped.h"
#include "status_pure.h"
#include "text_pure.h"

namespace {

constexpr COLORREF kPictureBackground = RGB(0, 128, 128);
constexpr int kOverlaySize = 32;  // the overlay icons' edge at 96 dots per inch
constexpr int kPictureSize = 35;  // bitmap 211's edge
constexpr int kBaseDpi = 96;

// Where the picture goes in the button: bitmap 211 at this screen's dots per
// inch (its 35 pixels are for 96), centred.
struct PicturePlace {
    int x, y, size;
    int dpi;
};

PicturePlace PlacePicture(HDC dc, const RECT& client, int bitmapSize) {
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    if (dpi <= 0) dpi = kBaseDpi;
    const int size = MulDiv(bitmapSize, dpi, kBaseDpi);
    return {(client.right - client.left - size) / 2, (client.bottom - client.top - size) / 2, size, dpi};
}

// Bitmap 211 centred in the button at this screen's scale, its teal
// background turned into the button face colour. Returns where it went.
PicturePlace DrawPrinter(HWND button, HDC dc) {
    RECT client = {};
    GetClientRect(button, &client);
    PicturePlace place = PlacePicture(dc, client, kPictureSize);
    GdiObject<HBITMAP> bitmap(LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_STATUS_PRINTER)));
    if (!bitmap.get()) return place;
    BITMAP info = {};
    if (!GetObjectA(bitmap.get(), sizeof info, &info)) return place;
    place = PlacePicture(dc, client, info.bmWidth);
    MemoryDC memory(dc);
    if (!memory.get()) return place;
    Selection bitmapSelection(memory.get(), bitmap.get());
    if (!bitmapSelection.ok()) return place;
    GdiObject<HBRUSH> face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    if (face.get()) {
        Selection brushSelection(memory.get(), face.get());
        if (brushSelection.ok()) ExtFloodFill(memory.get(), 0, 0, kPictureBackground, FLOODFILLSURFACE);
    }
    if (place.size == info.bmWidth) {
        BitBlt(dc, place.x, place.y, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
        return place;
    }
    const int height = MulDiv(info.bmHeight, place.dpi, kBaseDpi);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, place.x, place.y, place.size, height, memory.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    return place;
}

// The overlay icon for the flags over the middle of the picture as drawn,
// at the picture's scale, so that it never reaches past the frame.
void DrawOverlay(HDC dc, const PicturePlace& picture) {
    const int icon = OverlayIconFor(UpdateAllowed, ReadAllowed);
    if (icon == 0) return;
    const int size = MulDiv(kOverlaySize, picture.dpi, kBaseDpi);
    LoadedIcon handle(static_cast<HICON>(
        LoadImageA(AppInstance, MAKEINTRESOURCEA(icon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!handle.get()) return;
    const int x = picture.x + (picture.size - size) / 2;
    const int y = picture.y + (picture.size - size) / 2;
    DrawIconEx(dc, x, y, handle.get(), size, size, 0, nullptr, DI_NORMAL);
}

}  // namespace

void DrawStatusPicture(HWND panel, const DRAWITEMSTRUCT* item) {
    HWND button = item && item->hwndItem ? item->hwndItem : GetDlgItem(panel, IDC_STATUSPICTURE);
    if (!button) return;
    WindowDC dc(button);
    if (!dc.get()) return;
    DrawOverlay(dc.get(), DrawPrinter(button, dc.get()));
}

int FitText(HDC dc, int width, LPCSTR text, LPCSTR ellipsis, char* out, size_t outSize) {
    struct Measure {
        static bool Extent(void* context, const char* text, size_t length, long* width) {
            SIZE size = {};
            if (!GetTextExtentPoint32A(static_cast<HDC>(context), text, static_cast<int>(length), &size)) {
                return false;
            }
            *width = size.cx;
            return true;
        }
        static const char* Next(const char* text) { return CharNextA(text); }
    };
    if (!dc) return 0;
    return FitTextCore(text, ellipsis, width, out, outSize, Measure::Extent, dc, Measure::Next);
}
