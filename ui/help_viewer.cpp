#include "help_viewer.h"

const char kHelpViewerServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

namespace {

// The viewer's ANSI help function, HtmlHelpA.
const WORD kHtmlHelpOrdinal = 14;

// The default value of root\key as a path, environment references expanded (the system registers
// the viewer as "%SystemRoot%\..."); false when there is none.
bool ReadRegisteredPath(HKEY root, const char* key, char (&path)[MAX_PATH])
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    char value[MAX_PATH] = {};
    DWORD type = 0;
    DWORD size = sizeof(value) - 1;  // room for a terminator the stored data may lack
    LONG status = RegQueryValueExA(handle, nullptr, nullptr, &type,
                                   reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || !value[0])
        return false;
    if (type == REG_SZ) {
        lstrcpynA(path, value, MAX_PATH);
        return true;
    }
    DWORD length = ExpandEnvironmentStringsA(value, path, MAX_PATH);
    return length > 0 && length <= MAX_PATH;
}

}  // namespace

HelpViewer::HelpViewer(LoadLibraryFunction load, HKEY classRoot, const char* serverKey)
    : load_(load), classRoot_(classRoot), serverKey_(serverKey)
{
}

HWND HelpViewer::Call(HWND owner, LPCSTR target, UINT command, DWORD_PTR data)
{
    if (!entry_ && !Load())
        return nullptr;
    return entry_(owner, target, command, data);
}

bool HelpViewer::Load()
{
    if (failed_)
        return false;
    if (!module_)
        module_ = LoadRegisteredLibrary();
    if (!module_)
        module_ = load_("hhctrl.ocx");
    if (module_)
        entry_ = reinterpret_cast<HtmlHelpFunction>(
            GetProcAddress(module_, MAKEINTRESOURCEA(kHtmlHelpOrdinal)));
    failed_ = entry_ == nullptr;
    return !failed_;
}

HMODULE HelpViewer::LoadRegisteredLibrary() const
{
    char path[MAX_PATH];
    return ReadRegisteredPath(classRoot_, serverKey_, path) ? load_(path) : nullptr;
}
