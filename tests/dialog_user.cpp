#include "dialog_user.h"

#include <thread>

#include "ui_driver.h"
#include "wait_scale.h"

namespace {

// Cancels every dialog of this process still shown, message boxes and nested dialogs included.
void CancelLeftDialogs()
{
    auto any = [](HWND) { return true; };
    for (int round = 0; round < 10; ++round) {
        HWND left = WaitForDialog(any, 200);
        if (!left)
            return;
        PostMessageA(left, WM_COMMAND, IDCANCEL, 0);
        WaitUntilGone(left, 2000);
    }
}

}  // namespace

INT_PTR RunModalWithUser(CDialog& dialog, const std::string& caption,
                         const std::function<void(HWND)>& user)
{
    std::thread helper([&] {
        HWND window = WaitForTitledDialog(caption);
        if (window)
            user(window);
        if (!window || !WaitUntilGone(window, 3000))
            CancelLeftDialogs();
    });
    INT_PTR result = dialog.DoModal();
    helper.join();
    return result;
}

HWND WaitForTitledDialog(const std::string& caption)
{
    return WaitForDialog(
        [&](HWND window) { return !IsMessageBox(window) && WindowText(window) == caption; });
}

void FocusControl(HWND dialog, int id)
{
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

void TypeInto(HWND dialog, int id, const std::string& text)
{
    FocusControl(dialog, id);
    HWND edit = GetDlgItem(dialog, id);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (text.empty())
        SendMessageA(edit, WM_CHAR, '\b', 1);
    for (char c : text)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void TypeWideInto(HWND dialog, int id, const std::wstring& text)
{
    FocusControl(dialog, id);
    HWND edit = GetDlgItem(dialog, id);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t c : text)
        SendMessageW(edit, WM_CHAR, c, 1);
}

void Click(HWND dialog, int id)
{
    // Sent without waiting, so the click comes before any message sent to the dialog later.
    SendNotifyMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool StaysOpen(HWND dialog)
{
    // The dialog's thread answers only from a message loop: once the handlers before it are done.
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored) &&
           IsWindowVisible(dialog);
}

bool WaitUntilGone(HWND window, DWORD timeoutMs)
{
    timeoutMs = ScaledMs(timeoutMs);
    for (DWORD start = GetTickCount(); IsWindow(window); Sleep(10))
        if (GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

EditState ReadEdit(HWND dialog, int id)
{
    HWND edit = GetDlgItem(dialog, id);
    EditState state;
    state.text = WindowText(edit);
    state.mask = char(SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0));
    state.modified = SendMessageA(edit, EM_GETMODIFY, 0, 0) != 0;
    return state;
}

AnsweredMessageBox AnswerMessageBox(int button)
{
    AnsweredMessageBox result;
    {
        MessageBoxAnswerer answer(button);
        result.seen = answer.Wait();
        result.caption = answer.caption;
        result.text = answer.text;
        result.icon = answer.icon;
    }
    for (DWORD start = GetTickCount(); WaitForDialog(IsMessageBox, 0); Sleep(10))
        if (GetTickCount() - start > ScaledMs(10000))
            break;
    return result;
}
