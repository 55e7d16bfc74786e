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

private:
    HBITMAP m_picture = nullptr;
    HBITMAP m_greyed = nullptr;
};
