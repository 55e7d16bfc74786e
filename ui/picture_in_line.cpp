#include "picture_in_line.h"

#include "../framework/dpi.h"
#include "../framework/template_pictures.h"
#include "bitmap_pixels.h"

namespace {

// The room between the picture and the parentheses around it, in pixels at 96 dpi.
const int kGap = 2;

RECT RectInDialog(HWND dialog, HWND control)
{
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The width of the control's text in the control's own font, in pixels.
int TextWidth(HWND control)
{
    char text[256] = "";
    int length = GetWindowTextA(control, text, sizeof(text));
    HDC dc = GetDC(control);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, length, &size);
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx;
}

void Place(HWND control, int x, int y, int width, int height)
{
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The colour the dialog paints behind the control, as it answers the control's colour request.
COLORREF BackgroundBehind(HWND dialog, HWND control)
{
    HDC dc = GetDC(control);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    ReleaseDC(control, dc);
    LOGBRUSH colour = {};
    if (!brush || !GetObjectA(brush, sizeof(colour), &colour) || colour.lbStyle != BS_SOLID)
        return GetSysColor(COLOR_BTNFACE);
    return colour.lbColor;
}

// A copy of picture (the caller's to delete) with its background, the colour of its top-left
// pixel, in `background` instead; null when it cannot be made.
HBITMAP CopyOnBackground(HBITMAP picture, COLORREF background)
{
    BitmapPixels pixels = ReadBitmapPixels(picture);
    if (pixels.colours.empty())
        return nullptr;
    const RGBQUAD old = pixels.colours.front();
    const RGBQUAD fresh = {GetBValue(background), GetGValue(background), GetRValue(background), 0};
    for (RGBQUAD& pixel : pixels.colours)
        if (pixel.rgbRed == old.rgbRed && pixel.rgbGreen == old.rgbGreen &&
            pixel.rgbBlue == old.rgbBlue)
            pixel = fresh;
    return CreateBitmapFromPixels(pixels);
}

}  // namespace

CPictureInLine::~CPictureInLine()
{
    if (picture_ && IsWindow(picture_))
        SendMessageA(picture_, STM_SETIMAGE, IMAGE_BITMAP, 0);
    if (shown_)
        DeleteObject(shown_);
}

void CPictureInLine::Bind(HWND dialog, int textId, int pictureId, int tailId)
{
    dialog_ = dialog;
    text_ = GetDlgItem(dialog, textId);
    tail_ = GetDlgItem(dialog, tailId);
    picture_ = GetDlgItem(dialog, pictureId);
    if (!text_ || !tail_ || !picture_)
        return;
    auto loaded = reinterpret_cast<HBITMAP>(SendMessageA(picture_, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (loaded)
        ShowOnDialogBackground(loaded);
    LineUp(WindowDpi(dialog));
}

void CPictureInLine::Rescale(UINT dpi)
{
    UINT id = TemplatePictureId(picture_);
    HBITMAP loaded = id ? LoadBitmapForDpi(GetModuleHandleA(nullptr), id, dpi) : nullptr;
    if (!loaded)
        return;
    ShowOnDialogBackground(loaded);
    DeleteObject(loaded);
    LineUp(dpi);
}

void CPictureInLine::LineUp(UINT dpi)
{
    RECT line = RectInDialog(dialog_, text_);
    RECT shown = RectInDialog(dialog_, picture_);
    int lineHeight = line.bottom - line.top;
    int pictureWidth = shown.right - shown.left;
    int pictureHeight = shown.bottom - shown.top;
    int gap = ScaleToDpi(kGap, dpi);

    int x = line.left;
    int width = TextWidth(text_);
    Place(text_, x, line.top, width, lineHeight);
    x += width + gap;
    Place(picture_, x, line.top + (lineHeight - pictureHeight) / 2, pictureWidth, pictureHeight);
    x += pictureWidth + gap;
    Place(tail_, x, line.top, TextWidth(tail_), lineHeight);
}

void CPictureInLine::ShowOnDialogBackground(HBITMAP picture)
{
    HBITMAP copy = CopyOnBackground(picture, BackgroundBehind(dialog_, picture_));
    if (!copy)
        return;
    // The control hands back the picture it showed: the template's, which is then ours, or
    // our own earlier copy.
    auto previous = reinterpret_cast<HBITMAP>(
        SendMessageA(picture_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(copy)));
    if (previous && previous != copy)
        DeleteObject(previous);
    shown_ = copy;
}
