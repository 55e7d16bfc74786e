#include <gtest/gtest.h>

#include "dialog_user.h"
#include "resources/resource.h"
#include "ui/password_dialog.h"
#include "ui_driver.h"
#include "vault_dialog_host.h"

namespace {

class PasswordDialog : public VaultDialogTest {};

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

}  // namespace

TEST_F(PasswordDialog, EndsWithOkOnlyForTheRightPassword)
{
    VaultRecord vault = AddVault("Papers", "right");
    CPasswordDlg dialog(vault);
    std::string message;
    EditState shown, afterWrong;
    bool focused = false, openAfterWrong = false;
    INT_PTR result = RunModalWithUser(dialog, "Enter Password", [&](HWND window) {
        message = ItemText(window, IDC_PASSWORD_MESSAGE);
        shown = ReadEdit(window, IDC_VAULT_PASSWORD);
        focused = FocusOf(window) == GetDlgItem(window, IDC_VAULT_PASSWORD);
        TypeInto(window, IDC_VAULT_PASSWORD, "wrong");
        Click(window, IDOK);
        openAfterWrong = StaysOpen(window);
        afterWrong = ReadEdit(window, IDC_VAULT_PASSWORD);
        TypeInto(window, IDC_VAULT_PASSWORD, "right");
        Click(window, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.password, "right");
    EXPECT_EQ(message, "The vault Papers has been protected with a password. Any operation with "
                       "the vault requires you to enter this password.");
    EXPECT_EQ(shown.text, "");
    EXPECT_EQ(shown.mask, '*');
    EXPECT_TRUE(focused) << "the password field takes the focus";
    EXPECT_TRUE(openAfterWrong) << "a wrong password only beeps";
    EXPECT_EQ(afterWrong.text, "wrong") << "the typed text stays for another try";
}

TEST_F(PasswordDialog, PaintsAllButThePasswordFieldWithThePageBrush)
{
    VaultRecord vault = AddVault("Papers", "pw");
    CPasswordDlg dialog(vault);
    struct Request {
        UINT message;
        int control;  // 0: the dialog itself
        HBRUSH expected;
        HBRUSH answer = nullptr;
        int backgroundMode = 0;
    } requests[] = {
        {WM_CTLCOLORDLG, 0, app.GetPageBrush()},
        {WM_CTLCOLORSTATIC, IDC_PASSWORD_MESSAGE, app.GetPageBrush()},
        {WM_CTLCOLORSTATIC, IDC_PASSWORD_PICTURE, app.GetPageBrush()},
        {WM_CTLCOLOREDIT, IDC_VAULT_PASSWORD, GetSysColorBrush(COLOR_WINDOW)},
    };
    RunModalWithUser(dialog, "Enter Password", [&](HWND window) {
        HDC dc = CreateCompatibleDC(nullptr);
        for (Request& request : requests) {
            SetBkMode(dc, OPAQUE);
            HWND control = request.control ? GetDlgItem(window, request.control) : window;
            request.answer = reinterpret_cast<HBRUSH>(SendMessageA(
                window, request.message, reinterpret_cast<WPARAM>(dc),
                reinterpret_cast<LPARAM>(control)));
            request.backgroundMode = GetBkMode(dc);
        }
        DeleteDC(dc);
        Click(window, IDCANCEL);
    });
    for (const Request& request : requests) {
        EXPECT_EQ(request.answer, request.expected) << request.control;
        EXPECT_EQ(request.backgroundMode, TRANSPARENT) << request.control;
    }
}
