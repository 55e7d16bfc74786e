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

bool IsSafeRelativeName(const std::string& name)
{
    if (name.empty())
        return false;
    std::string::size_type start = 0;
    while (start <= name.size()) {
        std::string::size_type end = name.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = name.size();
        std::string component = name.substr(start, end - start);
        if (component.empty() || component == "." || component == "..")
            return false;
        for (unsigned char c : component)
            if (c < 32 || c == ':')
                return false;
        start = end + 1;
    }
    return true;
}
