#pragma once
// A picture control that serves as a command: it sends its clicks as its own command id, and
// while disabled it shows a greyed copy of its picture (a plain picture control looks the same
// enabled or not).

#include "../framework/wnd.h"

class CCommandPicture : public CWnd {
public:
    CCommandPicture() = default;
    ~CCommandPicture() override;

    // Binds control `id` of `dialog` and makes the two pictures from the one its template gave it.
    // The pictures are this object's from then on.
    void Bind(const CWnd& dialog, int id);
    // Enables the control (clicks reach the dialog) or disables it, and shows the matching picture.
    void Enable(bool enable);
    // Remakes both pictures from the template's bitmap in the size for `dpi`.
    void Rescale(UINT dpi);

private:
    // Takes `picture` (null: changes nothing) as the new picture, makes its greyed copy, shows
    // the one that matches the control's state and deletes the old ones.
    void ShowPictures(HBITMAP picture);
    // Shows the picture that matches the control's state; the picture the control showed.
    HBITMAP ShowCurrent();
    void DeletePictures();

    HBITMAP m_picture = nullptr;
    HBITMAP m_greyed = nullptr;
};
