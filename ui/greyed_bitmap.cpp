#include "greyed_bitmap.h"

#include "bitmap_pixels.h"

namespace {

int Brightness(const RGBQUAD& pixel)
{
    return (299 * pixel.rgbRed + 587 * pixel.rgbGreen + 114 * pixel.rgbBlue) / 1000;
}

bool SameColour(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

void GreyPixels(std::vector<RGBQUAD>& pixels)
{
    const RGBQUAD background = pixels.front();
    const int backgroundBrightness = Brightness(background);
    for (RGBQUAD& pixel : pixels) {
        if (SameColour(pixel, background))
            continue;
        BYTE grey = BYTE((Brightness(pixel) + backgroundBrightness) / 2);
        pixel = {grey, grey, grey, 0};
    }
}

}  // namespace

HBITMAP MakeGreyedBitmap(HBITMAP source)
{
    BitmapPixels pixels = ReadBitmapPixels(source);
    if (pixels.colours.empty())
        return nullptr;
    GreyPixels(pixels.colours);
    return CreateBitmapFromPixels(pixels);
}
