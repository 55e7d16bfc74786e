#include "host_tools.h"

#include <windows.h>

#include <vector>

namespace {

std::string HostPath(const char* name) { return std::string("Z:\\usr\\bin\\") + name; }

}  // namespace

bool HostToolExists(const char* name)
{
    return GetFileAttributesA(HostPath(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool StartHostTool(const char* name, const std::string& arguments)
{
    std::string command = std::string(name) + " " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessA(HostPath(name).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
