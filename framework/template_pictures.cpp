#include "template_pictures.h"

#include <commctrl.h>

#include <vector>

#include "dialog_template.h"
#include "dpi.h"

namespace {

const UINT_PTR kPictureSubclassId = 1;
// The control's TemplatePicture, for the functions below to find.
const char kPictureProperty[] = "OrvellaTemplatePicture";

struct TemplatePicture {
    UINT resourceId;
    HBITMAP owned;  // the picture shown while it is the control's; null once handed over
};

LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR data)
{
    auto* picture = reinterpret_cast<TemplatePicture*>(data);
    if (message == STM_SETIMAGE && wParam == IMAGE_BITMAP) {
        LRESULT previous = DefSubclassProc(hwnd, message, wParam, lParam);
        if (reinterpret_cast<HBITMAP>(previous) == picture->owned)
            picture->owned = nullptr;
        return previous;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, PictureProc, kPictureSubclassId);
        RemovePropA(hwnd, kPictureProperty);
        if (picture->owned)
            DeleteObject(picture->owned);
        delete picture;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

TemplatePicture* FindTemplatePicture(HWND control)
{
    return control ? static_cast<TemplatePicture*>(GetPropA(control, kPictureProperty)) : nullptr;
}

// Puts `bitmap` in the control as the control's own and deletes the one it showed, which was
// its own too (or the template's, which the control hands over when replaced).
void ShowOwned(HWND control, TemplatePicture* picture, HBITMAP bitmap)
{
    auto previous = reinterpret_cast<HBITMAP>(
        SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    picture->owned = bitmap;
    if (previous && previous != bitmap)
        DeleteObject(previous);
}

}  // namespace

void ShowTemplatePictures(HWND dialog, HMODULE module, int templateId, UINT dpi)
{
    std::vector<TemplateControl> controls;
    if (!ReadTemplateControls(module, templateId, &controls))
        return;
    // The dialog manager creates the controls in template order, each after the one before.
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const TemplateControl& control : controls) {
        if (!child || GetDlgCtrlID(child) != int(control.id))
            return;
        HWND next = GetWindow(child, GW_HWNDNEXT);
        HBITMAP bitmap = control.picture ? LoadBitmapForDpi(module, control.picture, dpi) : nullptr;
        auto* picture = bitmap ? new TemplatePicture{control.picture, nullptr} : nullptr;
        if (picture && SetPropA(child, kPictureProperty, picture) &&
            SetWindowSubclass(child, PictureProc, kPictureSubclassId,
                              reinterpret_cast<DWORD_PTR>(picture))) {
            ShowOwned(child, picture, bitmap);
        } else {
            if (picture)
                RemovePropA(child, kPictureProperty);
            delete picture;
            if (bitmap)
                DeleteObject(bitmap);
        }
        child = next;
    }
}

void RescaleTemplatePictures(HWND dialog, HMODULE module, UINT dpi)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        TemplatePicture* picture = FindTemplatePicture(child);
        if (!picture || !picture->owned)
            continue;
        if (HBITMAP bitmap = LoadBitmapForDpi(module, picture->resourceId, dpi))
            ShowOwned(child, picture, bitmap);
    }
}

UINT TemplatePictureId(HWND control)
{
    TemplatePicture* picture = FindTemplatePicture(control);
    return picture ? picture->resourceId : 0;
}
