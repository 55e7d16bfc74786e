#include "journey_user.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "ui_driver.h"

namespace {

HWND TreeOf(HWND browser) { return FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr); }

HTREEITEM TreeItem(HWND tree, UINT relation, HTREEITEM from = nullptr)
{
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
}

// The text of `item` in the tree view of another process.
std::string TreeItemText(HANDLE process, HWND tree, HTREEITEM item)
{
    char text[MAX_PATH] = "";
    RemoteMemory memory(process, sizeof(TVITEMA) + sizeof(text));
    TVITEMA query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = static_cast<char*>(memory.Address()) + sizeof(TVITEMA);
    query.cchTextMax = sizeof(text);
    if (!memory.Write(&query, sizeof(query)) ||
        !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory.Address())) ||
        !memory.Read(text, sizeof(text) - 1, sizeof(TVITEMA)))
        return "";
    return text;
}

// The names the folder browser shows on the way from the desktop down to `folder`: the
// computer, the drive, then each folder, as the shell names them for display.
std::vector<std::string> DisplayNamesTo(const std::string& folder)
{
    std::vector<std::string> names;
    PIDLIST_ABSOLUTE item = ILCreateFromPathA(folder.c_str());
    for (bool more = item && !ILIsEmpty(item); more;
         more = ILRemoveLastID(item) && !ILIsEmpty(item)) {
        SHFILEINFOA info = {};
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(item), 0, &info, sizeof(info),
                       SHGFI_PIDL | SHGFI_DISPLAYNAME);
        names.insert(names.begin(), info.szDisplayName);
    }
    ILFree(item);
    return names;
}

// The child of `parent` named `name`, once the parent is expanded as a double click expands
// it (the browser fills in the children then); null when there is none, and `seen` lists the
// names there are.
HTREEITEM ExpandToChild(HANDLE process, HWND tree, HTREEITEM parent, const std::string& name,
                        std::string& seen)
{
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    seen.clear();
    for (HTREEITEM child = TreeItem(tree, TVGN_CHILD, parent); child;
         child = TreeItem(tree, TVGN_NEXT, child)) {
        std::string text = TreeItemText(process, tree, child);
        if (_stricmp(text.c_str(), name.c_str()) == 0)
            return child;
        seen += "\"" + text + "\" ";
    }
    return nullptr;
}

}  // namespace

HWND WaitForFolderBrowser(DWORD processId, DWORD timeoutMs)
{
    return WaitForDialog([](HWND window) { return TreeOf(window) != nullptr; }, timeoutMs,
                         processId);
}

std::string ChooseInFolderBrowser(HANDLE process, HWND browser, const std::string& folder)
{
    HWND tree = TreeOf(browser);
    if (!tree)
        return "the folder browser has no tree";
    // Down from the desktop, item by item, by the names the user reads; then the folder is
    // selected, as a click selects it.
    HTREEITEM item = TreeItem(tree, TVGN_ROOT);
    std::vector<std::string> names = DisplayNamesTo(folder);
    for (const std::string& name : names) {
        std::string seen;
        HTREEITEM child = item ? ExpandToChild(process, tree, item, name, seen) : nullptr;
        if (!child)
            return "no \"" + name + "\" in the browser's tree, only " + seen;
        item = child;
    }
    if (names.empty())
        return "the shell has no names for " + folder;
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    if (TreeItem(tree, TVGN_CARET) != item)
        return "the browser did not select \"" + names.back() + "\"";
    PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(browser, IDOK)));
    return "";
}
