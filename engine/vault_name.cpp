#include "vault_name.h"

#include <cctype>
#include <cstring>

namespace {

bool IsReservedDeviceName(const std::string& name)
{
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : kDevices)
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

bool IsValidVaultName(const std::string& name)
{
    if (name.empty() || name.size() > MAX_VAULT_NAME)
        return false;
    for (unsigned char c : name)
        if (c < 32 || std::strchr("\\/:*?\"<>|", c))
            return false;
    char last = name.back();
    if (last == '.' || last == ' ')
        return false;
    return !IsReservedDeviceName(name);
}
