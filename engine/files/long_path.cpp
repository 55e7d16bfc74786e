#include "long_path.h"

#include <windows.h>


namespace {

// CreateDirectory's limit is the lowest of the ANSI calls': it leaves room for an 8.3 name.
const size_t kShortEnough = MAX_PATH - 12;
// The longest path the system takes, prefix included. Its path lengths are 16-bit byte counts:
// a longer path wraps around and reaches another, shorter one (a prefix of it, which may well lie
// outside the folder it was meant for).
const size_t kLongest = 32766;

std::wstring FullPath(const std::wstring& path)
{
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(path.c_str(), length, &full[0], nullptr);
    full.resize(length);
    return full;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

}  // namespace

std::wstring LongPath(const std::string& path, NameEncoding encoding)
{
    std::wstring wide = WidenName(path, encoding);
    if (wide.size() > kLongest)
        return std::wstring();
    if (wide.size() < kShortEnough || StartsWith(wide, L"\\\\?\\") || StartsWith(wide, L"\\\\.\\"))
        return wide;
    std::wstring full = FullPath(wide);
    if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\"))
        return full;  // a device, as for a short path
    if (StartsWith(full, L"\\\\"))
        full = L"\\\\?\\UNC\\" + full.substr(2);
    else
        full = L"\\\\?\\" + full;
    return full.size() > kLongest ? std::wstring() : full;
}
