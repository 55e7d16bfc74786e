#include "ansi_name.h"

#include <windows.h>

std::wstring WidenAnsi(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0], length);
    return wide;
}

bool NarrowExactly(const wchar_t* name, std::string* narrow)
{
    int length = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
    narrow->assign(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(CP_ACP, 0, name, -1, &(*narrow)[0], length, nullptr, nullptr);
    return WidenAnsi(*narrow) == name;
}

std::wstring FileNameKey(const std::string& name)
{
    std::wstring wide = WidenAnsi(name);
    if (!wide.empty())
        CharUpperBuffW(&wide[0], DWORD(wide.size()));
    return wide;
}

bool IsSameFileName(const std::string& a, const std::string& b)
{
    return a == b || FileNameKey(a) == FileNameKey(b);
}
