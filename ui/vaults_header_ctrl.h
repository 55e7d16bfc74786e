#pragma once
// The vault list's column header, drawn in the page's own flat look: each item a solid
// RGB 210, 211, 213 band, 2 pixels shorter than the header, with its text in black, 10 pixels in
// from the item's left edge, on one line and vertically centred (pixels at 96 dpi, scaled for
// larger ones).

#include "../framework/controls.h"

class CVaultsHeaderCtrl : public CHeaderCtrl {
public:
    CVaultsHeaderCtrl();
    ~CVaultsHeaderCtrl() override;

protected:
    void OnCustomDraw(NMHDR* header, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    void DrawItem(const NMCUSTOMDRAW& draw) const;
};
