#include "password_text.h"

#include <windows.h>

#include <cstring>

#include "../base/secret_memory.h"

std::string Utf8FromWide(const std::wstring& text) { return CodePageFromWide(text, CP_UTF8); }

std::wstring WideFromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()),
                                     nullptr, 0);
    std::wstring result(size_t(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()),
                            &result[0], length);
    return result;
}

std::string CodePageFromWide(const std::wstring& text, unsigned codePage)
{
    if (text.empty())
        return std::string();
    int length = WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string result(size_t(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), &result[0], length,
                            nullptr, nullptr);
    return result;
}

std::string PasswordBytes(const std::wstring& typed, bool strong)
{
    return strong ? Utf8FromWide(typed) : CodePageFromWide(typed, CP_ACP);
}

std::vector<std::string> EarlierPasswordForms(const char* utf8)
{
    std::vector<std::string> forms;
    std::string given(utf8);
    std::wstring wide = WideFromUtf8(given);
    StringWiper wipeGiven(given);
    if (wide.empty()) {
        WipeString(wide);
        return forms;
    }
    for (unsigned codePage : {unsigned(CP_ACP), unsigned(CP_OEMCP)}) {
        std::string form = CodePageFromWide(wide, codePage);
        bool known = form == given;
        for (const std::string& earlier : forms)
            known = known || form == earlier;
        if (!known)
            forms.push_back(form);
        else
            WipeString(form);
    }
    WipeString(wide);
    return forms;
}
