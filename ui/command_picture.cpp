#include "command_picture.h"

#include "greyed_bitmap.h"

CCommandPicture::~CCommandPicture()
{
    if (m_hWnd && IsWindow(m_hWnd))
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, 0);
    if (m_picture)
        DeleteObject(m_picture);
    if (m_greyed)
        DeleteObject(m_greyed);
}

void CCommandPicture::Bind(const CWnd& dialog, int id)
{
    Attach(dialog.GetDlgItem(id));
    auto loaded = reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
    if (!loaded)
        return;
    // A copy of our own, so that this object alone decides when the pictures go; the control
    // hands back the one it loaded, which is then no one's but ours to delete.
    m_picture = static_cast<HBITMAP>(CopyImage(loaded, IMAGE_BITMAP, 0, 0, 0));
    if (!m_picture)
        return;
    m_greyed = MakeGreyedBitmap(m_picture);
    HBITMAP previous = reinterpret_cast<HBITMAP>(
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_picture)));
    if (previous && previous != m_picture)
        DeleteObject(previous);
}

void CCommandPicture::Enable(bool enable)
{
    EnableWindow(m_hWnd, enable);
    HBITMAP shown = enable || !m_greyed ? m_picture : m_greyed;
    if (shown)
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown));
}
