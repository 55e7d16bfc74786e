#include "wnd.h"

#include <vector>

#include "win_app.h"

const MessageMap* CWnd::GetThisMessageMap()
{
    static const MessageMapEntry entries[] = {{0, 0, 0, nullptr, HandlerKind::Void, nullptr}};
    static const MessageMap map = {nullptr, entries};
    return &map;
}

const MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

namespace {

bool Matches(const MessageMapEntry& entry, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (entry.registered)
        return *entry.registered != 0 && *entry.registered == message;
    if (entry.message != message)
        return false;
    if (message == WM_COMMAND)
        return entry.id == LOWORD(wParam) && entry.code == HIWORD(wParam);
    if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        return entry.id == header->idFrom && entry.code == header->code;
    }
    if (message == WM_REFLECT_NOTIFY)
        return entry.code == reinterpret_cast<const NMHDR*>(lParam)->code;
    return true;
}

LRESULT Call(CWnd* target, const MessageMapEntry& entry, UINT message, WPARAM wParam,
             LPARAM lParam)
{
    switch (entry.kind) {
    case HandlerKind::Command:
    case HandlerKind::Void:
        (target->*entry.handler)();
        return 0;
    case HandlerKind::Message:
        return (target->*reinterpret_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(entry.handler))(
            wParam, lParam);
    case HandlerKind::Notify: {
        LRESULT result = 0;
        (target->*reinterpret_cast<void (CWnd::*)(NMHDR*, LRESULT*)>(entry.handler))(
            reinterpret_cast<NMHDR*>(lParam), &result);
        return result;
    }
    case HandlerKind::CtlColor:
        return reinterpret_cast<LRESULT>(
            (target->*reinterpret_cast<HBRUSH (CWnd::*)(HDC, HWND, UINT)>(entry.handler))(
                reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                message - WM_CTLCOLORMSGBOX));
    case HandlerKind::Create:
        return (target->*reinterpret_cast<int (CWnd::*)(CREATESTRUCTA*)>(entry.handler))(
            reinterpret_cast<CREATESTRUCTA*>(lParam));
    }
    return 0;
}

}  // namespace

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    // Every control-colour request goes to the one WM_CTLCOLOR entry.
    UINT key = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC ? WM_CTLCOLORSTATIC
                                                                             : message;
    for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->handler; ++entry) {
            if (Matches(*entry, key, wParam, lParam)) {
                *result = Call(this, *entry, message, wParam, lParam);
                return true;
            }
        }
    }
    return false;
}

std::string CWnd::GetWindowText() const
{
    std::vector<char> text(::GetWindowTextLengthA(m_hWnd) + 1);
    ::GetWindowTextA(m_hWnd, text.data(), int(text.size()));
    return text.data();
}

int CWnd::MessageBox(const std::string& text, UINT type) const
{
    return MessageBox(text, AfxGetAppName(), type);
}

int CWnd::MessageBox(const std::string& text, const std::string& caption, UINT type) const
{
    return ::MessageBoxA(m_hWnd, text.c_str(), caption.c_str(), type);
}

int CWnd::MessageBox(const std::wstring& text, const std::wstring& caption, UINT type) const
{
    return ::MessageBoxW(m_hWnd, text.c_str(), caption.c_str(), type);
}

HBRUSH CWnd::DefaultCtlColor(HDC dc, HWND control, UINT type) const
{
    return reinterpret_cast<HBRUSH>(DefWindowProcA(m_hWnd, WM_CTLCOLORMSGBOX + type,
                                                   reinterpret_cast<WPARAM>(dc),
                                                   reinterpret_cast<LPARAM>(control)));
}

CWnd* CWnd::FromHandle(HWND hwnd, int slot)
{
    return reinterpret_cast<CWnd*>(GetWindowLongPtrA(hwnd, slot));
}
