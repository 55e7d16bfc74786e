#include "vaults_header_ctrl.h"

#include "../framework/dpi.h"

namespace {

const COLORREF kItemColour = RGB(210, 211, 213);
const int kTextIndent = 10;  // pixels at 96 dpi
const int kBottomGap = 2;    // pixels at 96 dpi
const int kMaxItemText = 260;

}  // namespace

BEGIN_MESSAGE_MAP(CVaultsHeaderCtrl, CHeaderCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CVaultsHeaderCtrl::OnCustomDraw)
END_MESSAGE_MAP()

CVaultsHeaderCtrl::CVaultsHeaderCtrl() = default;
CVaultsHeaderCtrl::~CVaultsHeaderCtrl() = default;

void CVaultsHeaderCtrl::OnCustomDraw(NMHDR* header, LRESULT* result)
{
    const NMCUSTOMDRAW& draw = *reinterpret_cast<const NMCUSTOMDRAW*>(header);
    switch (draw.dwDrawStage) {
    case CDDS_PREPAINT:
        *result = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        DrawItem(draw);
        *result = CDRF_SKIPDEFAULT;
        break;
    default:
        *result = CDRF_DODEFAULT;
        break;
    }
}

void CVaultsHeaderCtrl::DrawItem(const NMCUSTOMDRAW& draw) const
{
    char text[kMaxItemText + 1] = "";
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    GetItem(int(draw.dwItemSpec), &item);

    UINT dpi = WindowDpi(m_hWnd);
    RECT band = draw.rc;
    band.bottom -= ScaleToDpi(kBottomGap, dpi);
    HBRUSH brush = CreateSolidBrush(kItemColour);
    FillRect(draw.hdc, &band, brush);
    DeleteObject(brush);

    band.left += ScaleToDpi(kTextIndent, dpi);
    SetTextColor(draw.hdc, RGB(0, 0, 0));
    SetBkColor(draw.hdc, kItemColour);
    DrawTextA(draw.hdc, text, -1, &band, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}
