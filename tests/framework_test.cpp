#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

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
