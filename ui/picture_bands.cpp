#include "picture_bands.h"

#include <algorithm>
#include <vector>

namespace {

struct PicturePlace {
    HBITMAP bitmap;
    RECT rect;  // in the dialog's client coordinates
};

std::vector<PicturePlace> DirectPictures(HWND dialog)
{
    std::vector<PicturePlace> pictures;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) != SS_BITMAP || !(style & WS_VISIBLE))
            continue;
        auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        if (bitmap)
            pictures.push_back({bitmap, rect});
    }
    return pictures;
}

// Stretches the last column of `bitmap` over `strip`.
void RepeatLastColumn(HDC dc, HBITMAP bitmap, const RECT& strip)
{
    BITMAP size;
    if (!GetObjectA(bitmap, sizeof(size), &size) || size.bmWidth < 1)
        return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, bitmap);
    StretchBlt(dc, strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top,
               source, size.bmWidth - 1, 0, 1, size.bmHeight, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

}  // namespace

void ExtendPictureBands(HWND dialog, HDC dc)
{
    std::vector<PicturePlace> pictures = DirectPictures(dialog);
    LONG rightmost = 0;
    for (const PicturePlace& picture : pictures)
        rightmost = std::max(rightmost, picture.rect.right);
    RECT client;
    GetClientRect(dialog, &client);
    for (const PicturePlace& picture : pictures) {
        if (picture.rect.right != rightmost || rightmost >= client.right)
            continue;
        RECT strip = {rightmost, picture.rect.top, client.right, picture.rect.bottom};
        RepeatLastColumn(dc, picture.bitmap, strip);
    }
}
