#pragma once
#include <string>

// dir and name joined by one backslash, whether or not dir already ends in one (a root such as
// "C:\" or the default root "...\Zovantri Orvella\" does).
inline std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/'))
        return dir + name;
    return dir + "\\" + name;
}
