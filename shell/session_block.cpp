#include "session_block.h"

namespace {

typedef BOOL(WINAPI* CreateReason)(HWND, LPCWSTR);
typedef BOOL(WINAPI* DestroyReason)(HWND);

FARPROC User32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

}  // namespace

void BlockSessionEnd(HWND window, const wchar_t* reason)
{
    if (auto create = reinterpret_cast<CreateReason>(User32Function("ShutdownBlockReasonCreate")))
        create(window, reason);
}

void UnblockSessionEnd(HWND window)
{
    if (auto destroy =
            reinterpret_cast<DestroyReason>(User32Function("ShutdownBlockReasonDestroy")))
        destroy(window);
}
