#include "window_fit.h"

#include <commctrl.h>

#include <cstdlib>
#include <functional>

#include "framework/dpi.h"
#include "framework/template_pictures.h"

namespace {

const int kArtworkRounding = 2;  // pixels a picture's size may differ from the exact scale

bool HasClass(HWND window, const char* name)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    return lstrcmpiA(className, name) == 0;
}

std::string Describe(HWND control)
{
    char className[64] = "", text[80] = "";
    GetClassNameA(control, className, sizeof(className));
    if ((GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP || !HasClass(control, "Static"))
        GetWindowTextA(control, text, sizeof(text));
    char owner[128] = "";
    GetWindowTextA(GetAncestor(control, GA_ROOT), owner, sizeof(owner));
    return std::string("\"") + owner + "\" " + className + " " +
           std::to_string(GetDlgCtrlID(control)) + (text[0] ? std::string(" \"") + text + "\"" : "");
}

std::string SizeText(SIZE size) { return std::to_string(size.cx) + "x" + std::to_string(size.cy); }

SIZE ClientSize(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(info), &info);
    return {info.bmWidth, info.bmHeight};
}

void ForEachVisibleDescendant(HWND window, const std::function<void(HWND)>& visit)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        visit(child);
        ForEachVisibleDescendant(child, visit);
    }
}

bool Near(SIZE a, SIZE b, int slack)
{
    return std::abs(a.cx - b.cx) <= slack && std::abs(a.cy - b.cy) <= slack;
}

void CheckPicture(HWND control, UINT dpi, std::vector<std::string>& findings)
{
    auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!bitmap) {
        findings.push_back(Describe(control) + ": shows no picture");
        return;
    }
    SIZE drawn = BitmapSize(bitmap);
    if (UINT id = TemplatePictureId(control)) {
        HBITMAP original = static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
        SIZE at96 = BitmapSize(original);
        DeleteObject(original);
        SIZE wanted = {ScaleToDpi(at96.cx, dpi), ScaleToDpi(at96.cy, dpi)};
        if (!Near(drawn, wanted, kArtworkRounding))
            findings.push_back(Describe(control) + ": picture " + std::to_string(id) + " is " +
                               SizeText(drawn) + ", " + SizeText(wanted) + " wanted");
    }
    SIZE place = ClientSize(control);
    bool centred = (GetWindowLongA(control, GWL_STYLE) & SS_CENTERIMAGE) != 0;
    bool fits = centred ? drawn.cx <= place.cx && drawn.cy <= place.cy
                        : drawn.cx == place.cx && drawn.cy == place.cy;
    if (!fits)
        findings.push_back(Describe(control) + ": picture " + SizeText(drawn) + " in a place of " +
                           SizeText(place));
    RECT rect = {}, parent = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    GetClientRect(GetParent(control), &parent);
    if (rect.left < 0 || rect.top < 0 || rect.right > parent.right || rect.bottom > parent.bottom)
        findings.push_back(Describe(control) + ": picture at " + std::to_string(rect.left) + "," +
                           std::to_string(rect.top) + " " + SizeText(drawn) +
                           " cut off by its window's edge at " + SizeText(ClientSize(GetParent(control))));
}

void CheckStateImages(HWND list, UINT dpi, std::vector<std::string>& findings)
{
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_STATE, 0));
    int width = 0, height = 0;
    if (images)
        ImageList_GetIconSize(images, &width, &height);
    int wanted = ScaleToDpi(16, dpi);
    if (!images || width != wanted || height != wanted)
        findings.push_back(Describe(list) + ": state pictures " + std::to_string(width) + "x" +
                           std::to_string(height) + ", " + std::to_string(wanted) + " wanted");
}

// The text's extent in the control's font; DrawText's calculation with `format`, within `width`.
SIZE TextExtent(HWND control, const std::string& text, UINT format, int width)
{
    HDC dc = GetDC(control);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    RECT box = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &box, format | DT_CALCRECT);
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return {box.right, box.bottom};
}

// The room a button of this kind leaves its text, in pixels at `dpi`.
int ButtonTextRoom(HWND button, LONG style, UINT dpi)
{
    int width = ClientSize(button).cx;
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return width - ScaleToDpi(13 + 4, dpi);  // the box and the gap after it
    case BS_GROUPBOX:
        return width - ScaleToDpi(2 * 8, dpi);  // the frame's corners either side
    default:
        return width - ScaleToDpi(2 * 3, dpi);  // the button's edges
    }
}

void CheckText(HWND control, UINT dpi, std::vector<std::string>& findings, int* checked)
{
    char buffer[1024] = "";
    GetWindowTextA(control, buffer, sizeof(buffer));
    std::string text = buffer;
    if (text.empty())
        return;
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (HasClass(control, "Button")) {
        ++*checked;
        SIZE extent = TextExtent(control, text, DT_SINGLELINE, 0);
        int room = ButtonTextRoom(control, style, dpi);
        if (extent.cx > room)
            findings.push_back(Describe(control) + ": text " + std::to_string(extent.cx) +
                               " pixels wide in " + std::to_string(room));
        return;
    }
    LONG kind = style & SS_TYPEMASK;
    if (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT)
        return;  // pictures, frames and the like
    if (style & SS_ELLIPSISMASK)
        return;  // shortened on purpose to what fits
    ++*checked;
    SIZE room = ClientSize(control);
    UINT format = DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    SIZE extent = TextExtent(control, text, format, room.cx);
    if (extent.cx > room.cx || extent.cy > room.cy)
        findings.push_back(Describe(control) + ": text needs " + SizeText(extent) + " in " +
                           SizeText(room));
}

}  // namespace

std::vector<std::string> PictureFindings(HWND window, UINT dpi, int* checked)
{
    std::vector<std::string> findings;
    ForEachVisibleDescendant(window, [&](HWND child) {
        if (HasClass(child, "Static") &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
            ++*checked;
            CheckPicture(child, dpi, findings);
        } else if (HasClass(child, WC_LISTVIEWA) &&
                   SendMessageA(child, LVM_GETIMAGELIST, LVSIL_STATE, 0)) {
            ++*checked;
            CheckStateImages(child, dpi, findings);
        }
    });
    return findings;
}

std::vector<std::string> TextFindings(HWND window, UINT dpi, int* checked)
{
    std::vector<std::string> findings;
    ForEachVisibleDescendant(window, [&](HWND child) {
        if (HasClass(child, "Static") || HasClass(child, "Button"))
            CheckText(child, dpi, findings, checked);
    });
    return findings;
}
