#include "ansi_name.h"

#include <windows.h>

std::wstring WidenAnsi(const std::string& text) { return WidenName(text, NameEncoding::ANSI); }

bool NarrowExactly(const wchar_t* name, std::string* narrow)
{
    return NarrowName(name, NameEncoding::ANSI, narrow);
}

std::wstring FileNameKey(const std::string& name, NameEncoding encoding)
{
    std::wstring wide = WidenName(name, encoding);
    if (!wide.empty())
        CharUpperBuffW(&wide[0], DWORD(wide.size()));
    return wide;
}

bool IsSameFileName(const std::string& a, const std::string& b, NameEncoding encoding)
{
    return a == b || FileNameKey(a, encoding) == FileNameKey(b, encoding);
}
