#include "name_encoding.h"

#include <windows.h>

namespace {

UINT CodePageOf(NameEncoding encoding) { return encoding == NameEncoding::UTF8 ? CP_UTF8 : CP_ACP; }

}  // namespace

std::wstring WidenName(const std::string& text, NameEncoding encoding)
{
    if (text.empty())
        return std::wstring();
    UINT codePage = CodePageOf(encoding);
    int length = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), &wide[0], length);
    return wide;
}

bool NarrowName(const wchar_t* text, NameEncoding encoding, std::string* narrow)
{
    UINT codePage = CodePageOf(encoding);
    int length = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    narrow->assign(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(codePage, 0, text, -1, &(*narrow)[0], length, nullptr, nullptr);
    return WidenName(*narrow, encoding) == text;
}

bool RecodeName(const std::string& text, NameEncoding from, NameEncoding to,
                std::string* converted)
{
    // Valid text in `from` is exactly what comes back from its UTF-16: bytes that are not (a
    // broken UTF-8 sequence) widen to a stand-in character, which narrows to other bytes.
    std::wstring wide = WidenName(text, from);
    std::string back;
    if (!NarrowName(wide.c_str(), from, &back) || back != text) {
        *converted = text;
        return false;
    }
    return NarrowName(wide.c_str(), to, converted);
}

std::string InEncoding(const std::string& ansiText, NameEncoding to)
{
    std::string converted;
    RecodeName(ansiText, NameEncoding::ANSI, to, &converted);
    return converted;
}
