#include "vault_name.h"

#include <cctype>
#include <cstring>

namespace {

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The device names answer with or without an extension and with blanks before it ("nul .txt").
bool IsReservedDeviceName(const std::string& name)
{
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    stem = UpperAscii(stem);
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

bool IsValidNameComponent(const std::string& name)
{
    if (name.empty())
        return false;
    for (unsigned char c : name)
        if (c < 32 || std::strchr("\\/:*?\"<>|", c))
            return false;
    char last = name.back();
    if (last == '.' || last == ' ')
        return false;
    return !IsReservedDeviceName(name);
}

bool IsValidVaultName(const std::string& name)
{
    return name.size() <= MAX_VAULT_NAME && IsValidNameComponent(name);
}

bool IsSafeRelativeName(const std::string& name)
{
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type end = name.find_first_of("\\/", start);
        if (!IsValidNameComponent(name.substr(start, end - start)))
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}
