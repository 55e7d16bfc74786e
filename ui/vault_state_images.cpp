#include "vault_state_images.h"

#include "../framework/dpi.h"
#include "../framework/win_app.h"
#include "../resources/resource.h"

namespace {

const int kImageSize = 16;  // at 96 dpi

int DisplayBitsPerPixel()
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

void AddIcon(HIMAGELIST images, int iconId, UINT dpi)
{
    HICON icon = LoadIconForDpi(AfxGetInstanceHandle(), UINT(iconId), kImageSize, dpi);
    if (!icon)
        return;
    ImageList_AddIcon(images, icon);  // the list keeps a copy
    DestroyIcon(icon);
}

}  // namespace

UINT StateImageColourDepth(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 4:
        return ILC_COLOR4;
    case 8:
        return ILC_COLOR8;
    default:
        return ILC_COLOR32;
    }
}

HIMAGELIST CreateVaultStateImages(UINT dpi)
{
    int size = ScaleToDpi(kImageSize, dpi);
    HIMAGELIST images = ImageList_Create(size, size,
                                         ILC_MASK | StateImageColourDepth(DisplayBitsPerPixel()), 2, 0);
    if (!images)
        return nullptr;
    AddIcon(images, IDI_VAULT_UNLOCKED, dpi);
    AddIcon(images, IDI_VAULT_LOCKED, dpi);
    return images;
}
