#pragma once
// Message maps: each window class declares a static table of entries (message, notification code,
// control id, member handler) and chains to its base class's table. Dispatch walks the chain from
// the most derived class and calls the first entry that matches.
//
//   BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
//       ON_MESSAGE(WM_JOB_PROGRESS, &CProgressDlg::OnProgress)
//   END_MESSAGE_MAP()

#include <windows.h>

class CWnd;

// A control's own WM_NOTIFY, handed back to the control's window object (CWnd::SubclassWindow).
enum { WM_REFLECT_NOTIFY = 0xBC00 + WM_NOTIFY };

// Every handler is stored as this type and cast back to its own signature before the call.
typedef void (CWnd::*AFX_PMSG)();

enum class HandlerKind {
    Command,   // void ()                          WM_COMMAND with code and id
    Message,   // LRESULT (WPARAM, LPARAM)          any message
    Notify,    // void (NMHDR*, LRESULT*)           WM_NOTIFY with code and id; reflected with code
    CtlColor,  // HBRUSH (HDC, HWND, UINT)          every WM_CTLCOLOR* message
    Create,    // int (CREATESTRUCTA*)              WM_CREATE
    Void,      // void ()                           messages without arguments (WM_CLOSE)
};

struct MessageMapEntry {
    UINT message;              // 0 ends the table
    UINT code;                 // notification code (WM_COMMAND, WM_NOTIFY)
    UINT id;                   // control or command id (WM_COMMAND, WM_NOTIFY)
    const UINT* registered;    // for registered messages: where the message number is kept
    HandlerKind kind;
    AFX_PMSG handler;
};

struct MessageMap {
    const MessageMap* (*base)();
    const MessageMapEntry* entries;
};

// Handler adapters: each accepts only its own signature, so a wrong handler does not compile.
namespace afx {
template <class T> AFX_PMSG Command(void (T::*f)()) { return static_cast<AFX_PMSG>(f); }
template <class T> AFX_PMSG Message(LRESULT (T::*f)(WPARAM, LPARAM))
{
    return reinterpret_cast<AFX_PMSG>(static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(f));
}
template <class T> AFX_PMSG Notify(void (T::*f)(NMHDR*, LRESULT*))
{
    return reinterpret_cast<AFX_PMSG>(static_cast<void (CWnd::*)(NMHDR*, LRESULT*)>(f));
}
template <class T> AFX_PMSG CtlColor(HBRUSH (T::*f)(HDC, HWND, UINT))
{
    return reinterpret_cast<AFX_PMSG>(static_cast<HBRUSH (CWnd::*)(HDC, HWND, UINT)>(f));
}
template <class T> AFX_PMSG Create(int (T::*f)(CREATESTRUCTA*))
{
    return reinterpret_cast<AFX_PMSG>(static_cast<int (CWnd::*)(CREATESTRUCTA*)>(f));
}
}  // namespace afx

#define DECLARE_MESSAGE_MAP()                                  \
public:                                                        \
    static const MessageMap* GetThisMessageMap();              \
    const MessageMap* GetMessageMap() const override;          \
                                                               \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const MessageMap* theClass::GetThisMessageMap()                                 \
    {                                                                               \
        typedef theClass ThisClass;                                                 \
        typedef baseClass BaseClass;                                                \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                     \
    {0, 0, 0, nullptr, HandlerKind::Void, nullptr}                            \
    };                                                                        \
    static const MessageMap map = {&BaseClass::GetThisMessageMap, entries};   \
    return &map;                                                              \
    }

#define ON_COMMAND(id, fn) {WM_COMMAND, 0, (id), nullptr, HandlerKind::Command, afx::Command<ThisClass>(fn)},
#define ON_CONTROL(code, id, fn) \
    {WM_COMMAND, (code), (id), nullptr, HandlerKind::Command, afx::Command<ThisClass>(fn)},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_STN_CLICKED(id, fn) ON_CONTROL(STN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_MESSAGE(msg, fn) {(msg), 0, 0, nullptr, HandlerKind::Message, afx::Message<ThisClass>(fn)},
#define ON_REGISTERED_MESSAGE(var, fn) \
    {0xFFFFFFFF, 0, 0, &(var), HandlerKind::Message, afx::Message<ThisClass>(fn)},
#define ON_NOTIFY(code, id, fn) \
    {WM_NOTIFY, UINT(code), (id), nullptr, HandlerKind::Notify, afx::Notify<ThisClass>(fn)},
// In a subclassed control's map: the control's own notification `code`, before its parent sees it.
#define ON_NOTIFY_REFLECT(code, fn) \
    {WM_REFLECT_NOTIFY, UINT(code), 0, nullptr, HandlerKind::Notify, afx::Notify<ThisClass>(fn)},
#define ON_WM_CTLCOLOR(fn) \
    {WM_CTLCOLORSTATIC, 0, 0, nullptr, HandlerKind::CtlColor, afx::CtlColor<ThisClass>(fn)},
#define ON_WM_CREATE(fn) {WM_CREATE, 0, 0, nullptr, HandlerKind::Create, afx::Create<ThisClass>(fn)},
#define ON_WM_CLOSE(fn) {WM_CLOSE, 0, 0, nullptr, HandlerKind::Void, afx::Command<ThisClass>(fn)},
