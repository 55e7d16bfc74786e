#pragma once
// The pictures that dialog templates give their picture controls (SS_BITMAP), in the size of the
// dialog's DPI. A template names a bitmap drawn for 96 dpi; the dialog shows the copy drawn for
// its own DPI instead (LoadBitmapForDpi), and another when its DPI changes.
//
// Such a picture belongs to its control as the template's own picture would: it goes with the
// control, or, when something else puts a picture of its own in the control (STM_SETIMAGE), to
// that caller with the handle the control hands back.

#include <windows.h>

// Gives every picture control of `dialog`, made from template `templateId` of `module`, the
// copy of its template's bitmap drawn for `dpi`.
void ShowTemplatePictures(HWND dialog, HMODULE module, int templateId, UINT dpi);
// Gives the picture controls of `dialog` that still show their template's picture the copy for
// `dpi`; those whose picture was replaced keep the one they have.
void RescaleTemplatePictures(HWND dialog, HMODULE module, UINT dpi);
// The bitmap resource that `control`'s template names, or 0 when it is no template picture.
UINT TemplatePictureId(HWND control);
