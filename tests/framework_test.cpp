#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "framework/controls.h"
#include "framework/property_sheet.h"
#include "ui_driver.h"

namespace {

const UINT IDD_TEST_PAGE = 300, IDD_TEST_HOST = 301, IDS_TEST_CAPTION = 302;
const int IDC_TEST_EDIT = 310, IDC_TEST_CHECK = 311;

std::vector<std::string> events;

// A page that records what the framework calls, exchanges two fields, and colours statics.
class CTestPage : public CPropertyPage {
public:
    CTestPage(const char* name, UINT caption = 0) : CPropertyPage(IDD_TEST_PAGE, caption), m_name(name) {}

    std::string m_text = "initial";
    BOOL m_checked = TRUE;

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, IDC_TEST_EDIT, m_text);
        DDX_Check(dx, IDC_TEST_CHECK, m_checked);
    }
    BOOL OnSetActive() override
    {
        events.push_back(m_name + ":active");
        SetWizardButtons(PSWIZB_NEXT | PSWIZB_FINISH);
        return TRUE;
    }
    LRESULT OnWizardNext() override
    {
        events.push_back(m_name + ":next");
        return 0;
    }
    BOOL OnWizardFinish() override
    {
        UpdateData(true);
        events.push_back(m_name + ":finish:" + m_text);
        return TRUE;
    }
    void OnEditChanged() { events.push_back(m_name + ":changed"); }
    HBRUSH OnCtlColor(HDC, HWND, UINT type)
    {
        events.push_back(m_name + ":colour" + std::to_string(type));
        return HBRUSH(GetStockObject(WHITE_BRUSH));
    }

    DECLARE_MESSAGE_MAP()

private:
    std::string m_name;
};

BEGIN_MESSAGE_MAP(CTestPage, CPropertyPage)
    ON_EN_CHANGE(IDC_TEST_EDIT, &CTestPage::OnEditChanged)
    ON_WM_CTLCOLOR(&CTestPage::OnCtlColor)
END_MESSAGE_MAP()

// A modal host dialog holding a page as a plain child window.
class CHostDlg : public CDialog {
public:
    CHostDlg() : CDialog(IDD_TEST_HOST) {}
    CTestPage page{"child"};

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        EXPECT_TRUE(page.Create(this));
        return TRUE;
    }
};

bool IsSheet(HWND window) { return WindowText(window) == "Test wizard"; }
bool IsHost(HWND window) { return WindowText(window) == "Host"; }

}  // namespace

TEST(Framework, AWizardRunsItsPagesThroughTheVirtuals)
{
    events.clear();
    CTestPage first("first", IDS_TEST_CAPTION), second("second", IDS_TEST_CAPTION);
    CPropertySheet sheet(IDS_TEST_CAPTION);
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.SetWizardMode();
    std::thread user([] {
        HWND window = WaitForDialog(IsSheet);
        ASSERT_TRUE(window);
        SendMessageA(window, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        Sleep(200);
        HWND page = PropSheet_GetCurrentPageHwnd(window);
        SetDlgItemTextA(page, IDC_TEST_EDIT, "typed");
        SendMessageA(window, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    user.join();
    // Text exchanges also report edit changes; what matters is the order of the rest.
    std::vector<std::string> seen;
    for (const std::string& event : events)
        if (event.find(":changed") == std::string::npos && event.find(":colour") == std::string::npos)
            seen.push_back(event);
    EXPECT_EQ(seen, (std::vector<std::string>{"first:active", "first:next", "second:active",
                                              "second:finish:typed"}));
}

TEST(Framework, AChildPageExchangesDataAndIgnoresEnterAndEscape)
{
    events.clear();
    CHostDlg host;
    std::string shown;
    BOOL checked = FALSE;
    std::thread user([&] {
        HWND window = WaitForDialog(IsHost);
        ASSERT_TRUE(window);
        HWND page = host.page.m_hWnd;
        shown = ItemText(page, IDC_TEST_EDIT);
        SendMessageA(page, WM_COMMAND, IDOK, 0);
        SendMessageA(page, WM_COMMAND, IDCANCEL, 0);
        checked = IsWindowVisible(page) && IsWindowVisible(window);
        RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        SendMessageA(GetDlgItem(page, IDC_TEST_CHECK), BM_CLICK, 0, 0);
        SendMessageA(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(host.DoModal(), IDOK);
    user.join();
    EXPECT_EQ(shown, "initial");
    EXPECT_TRUE(checked) << "Enter and Escape inside the page leave it and its host alone";
    bool coloured = false;
    for (const std::string& event : events)
        coloured |= event.rfind("child:colour", 0) == 0;
    EXPECT_TRUE(coloured) << "control-colour requests reach the page's map";
}

namespace {

std::vector<UINT> parentNotifications;

LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY)
        parentNotifications.push_back(reinterpret_cast<const NMHDR*>(lParam)->code);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A header that takes its own custom draw and one message of its own, and nothing else.
class CTestHeader : public CHeaderCtrl {
public:
    std::vector<DWORD> drawStages;
    int pokes = 0;

protected:
    void OnCustomDraw(NMHDR* header, LRESULT* result)
    {
        drawStages.push_back(reinterpret_cast<NMCUSTOMDRAW*>(header)->dwDrawStage);
        *result = CDRF_DODEFAULT;
    }
    LRESULT OnPoke(WPARAM, LPARAM)
    {
        ++pokes;
        return 7;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestHeader, CHeaderCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CTestHeader::OnCustomDraw)
    ON_MESSAGE(WM_APP, &CTestHeader::OnPoke)
END_MESSAGE_MAP()

bool ParentSaw(UINT code)
{
    return std::find(parentNotifications.begin(), parentNotifications.end(), code) !=
           parentNotifications.end();
}

void PaintInto(HWND control)
{
    HDC screen = GetDC(control);
    HDC canvas = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 30);
    HGDIOBJ previous = SelectObject(canvas, bitmap);
    SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas), PRF_CLIENT);
    SelectObject(canvas, previous);
    DeleteObject(bitmap);
    DeleteDC(canvas);
    ReleaseDC(control, screen);
}

}  // namespace

TEST(Framework, ASubclassedControlGetsItsOwnNotificationsFirstAndTheParentTheRest)
{
    WNDCLASSA parentClass = {};
    parentClass.lpfnWndProc = RecordingParentProc;
    parentClass.hInstance = GetModuleHandleA(nullptr);
    parentClass.lpszClassName = "FrameworkTestParent";
    RegisterClassA(&parentClass);
    HWND parent = CreateWindowExA(0, "FrameworkTestParent", "", WS_POPUP, 0, 0, 200, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND control = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 30, parent,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
    HDITEMA item = {};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = const_cast<char*>("Item");
    item.cxy = 60;
    SendMessageA(control, HDM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    parentNotifications.clear();
    {
        CTestHeader header;
        ASSERT_TRUE(header.SubclassWindow(control));
        EXPECT_EQ(SendMessageA(control, WM_APP, 0, 0), 7) << "the control's messages reach the map";
        EXPECT_EQ(header.pokes, 1);

        PaintInto(control);
        ASSERT_FALSE(header.drawStages.empty());
        EXPECT_EQ(header.drawStages.front(), DWORD(CDDS_PREPAINT));
        EXPECT_FALSE(ParentSaw(NM_CUSTOMDRAW)) << "a handled notification stops at the control";

        item.mask = HDI_WIDTH;
        item.cxy = 80;
        SendMessageA(control, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_TRUE(ParentSaw(HDN_ITEMCHANGEDA) || ParentSaw(HDN_ITEMCHANGEDW))
            << "an unhandled one goes on to the parent";
    }
    // The object went first: the control goes on alone, and the parent gets all it sends.
    EXPECT_EQ(SendMessageA(control, WM_APP, 0, 0), 0);
    PaintInto(control);
    EXPECT_TRUE(ParentSaw(NM_CUSTOMDRAW));
    DestroyWindow(parent);
}
