#include "command_picture.h"

#include "../framework/dpi.h"
#include "../framework/template_pictures.h"
#include "../framework/win_app.h"
#include "greyed_bitmap.h"

CCommandPicture::~CCommandPicture()
{
    if (m_hWnd && IsWindow(m_hWnd))
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, 0);
    DeletePictures();
}

void CCommandPicture::Bind(const CWnd& dialog, int id)
{
    Attach(dialog.GetDlgItem(id));
    auto loaded = reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
    if (!loaded)
        return;
    // A copy of our own, so that this object alone decides when the pictures go; the control
    // hands back the one it loaded, which is then no one's but ours to delete.
    ShowPictures(static_cast<HBITMAP>(CopyImage(loaded, IMAGE_BITMAP, 0, 0, 0)));
}

void CCommandPicture::Rescale(UINT dpi)
{
    if (UINT id = TemplatePictureId(m_hWnd))
        ShowPictures(LoadBitmapForDpi(AfxGetInstanceHandle(), id, dpi));
}

void CCommandPicture::Enable(bool enable)
{
    EnableWindow(m_hWnd, enable);
    ShowCurrent();
}

void CCommandPicture::ShowPictures(HBITMAP picture)
{
    if (!picture)
        return;
    HBITMAP oldPicture = m_picture;
    HBITMAP oldGreyed = m_greyed;
    m_picture = picture;
    m_greyed = MakeGreyedBitmap(m_picture);
    HBITMAP previous = ShowCurrent();
    if (previous && previous != m_picture && previous != m_greyed && previous != oldPicture &&
        previous != oldGreyed)
        DeleteObject(previous);
    if (oldPicture)
        DeleteObject(oldPicture);
    if (oldGreyed)
        DeleteObject(oldGreyed);
}

HBITMAP CCommandPicture::ShowCurrent()
{
    HBITMAP shown = IsWindowEnabled(m_hWnd) || !m_greyed ? m_picture : m_greyed;
    if (!shown)
        return nullptr;
    return reinterpret_cast<HBITMAP>(
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown)));
}

void CCommandPicture::DeletePictures()
{
    if (m_picture)
        DeleteObject(m_picture);
    if (m_greyed)
        DeleteObject(m_greyed);
    m_picture = m_greyed = nullptr;
}
