#include "bitmap_pixels.h"

namespace {

BITMAPINFO PixelFormat(int width, int height)
{
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

}  // namespace

BitmapPixels ReadBitmapPixels(HBITMAP bitmap)
{
    BitmapPixels pixels;
    BITMAP size = {};
    if (!GetObjectA(bitmap, sizeof(size), &size) || size.bmWidth <= 0 || size.bmHeight <= 0)
        return pixels;
    pixels.width = size.bmWidth;
    pixels.height = size.bmHeight;
    pixels.colours.resize(size_t(size.bmWidth) * size_t(size.bmHeight));
    BITMAPINFO format = PixelFormat(pixels.width, pixels.height);
    HDC screen = GetDC(nullptr);
    if (GetDIBits(screen, bitmap, 0, pixels.height, pixels.colours.data(), &format,
                  DIB_RGB_COLORS) != pixels.height)
        pixels.colours.clear();
    ReleaseDC(nullptr, screen);
    return pixels;
}

HBITMAP CreateBitmapFromPixels(const BitmapPixels& pixels)
{
    if (pixels.colours.empty())
        return nullptr;
    BITMAPINFO format = PixelFormat(pixels.width, pixels.height);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, pixels.width, pixels.height);
    if (bitmap && SetDIBits(screen, bitmap, 0, pixels.height, pixels.colours.data(), &format,
                            DIB_RGB_COLORS) != pixels.height) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    ReleaseDC(nullptr, screen);
    return bitmap;
}
