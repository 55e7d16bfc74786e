#pragma once
// A line of text with a small picture inside it, such as "click Unlock (" picture ")." made of
// three controls: the text, the picture and the rest of the line. The template can only guess
// how wide the text will be in the font the system gives the dialog, and the picture is drawn
// on the program's page colour, not on the dialog's; this object puts each control right after
// the one before at the text's real width and shows the picture on the dialog's own background.

#include <windows.h>

class CPictureInLine {
public:
    CPictureInLine() = default;
    ~CPictureInLine();
    CPictureInLine(const CPictureInLine&) = delete;
    CPictureInLine& operator=(const CPictureInLine&) = delete;

    // Makes control textId of dialog exactly as wide as its text, puts control pictureId right
    // after it, centred on the text's line, and control tailId right after the picture. The
    // picture shown from then on is this object's.
    void Bind(HWND dialog, int textId, int pictureId, int tailId);
    // Shows the template's picture in the size for `dpi` and lines the three controls up again
    // after their text's width in the font they have now.
    void Rescale(UINT dpi);

private:
    void LineUp(UINT dpi);
    // Shows a copy of `picture` on the dialog's background in the picture control.
    void ShowOnDialogBackground(HBITMAP picture);

    HWND dialog_ = nullptr;
    HWND text_ = nullptr;
    HWND tail_ = nullptr;
    HWND picture_ = nullptr;
    HBITMAP shown_ = nullptr;
};
