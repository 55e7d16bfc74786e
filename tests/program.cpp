#include "program.h"

#include <vector>

namespace {

void DeleteKeyTree(HKEY parent, const char* sub)
{
    HKEY key;
    if (RegOpenKeyExA(parent, sub, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char child[256];
        while (RegEnumKeyA(key, 0, child, sizeof(child)) == ERROR_SUCCESS)
            DeleteKeyTree(key, child);
        RegCloseKey(key);
    }
    RegDeleteKeyA(parent, sub);
}

}  // namespace

ProgramUnderTest::ProgramUnderTest() { ForgetSettings(); }

ProgramUnderTest::~ProgramUnderTest()
{
    if (first_) {
        if (WaitForSingleObject(first_, 0) == WAIT_TIMEOUT) {
            RequestShutdown();
            if (!WaitForExit(first_, 5000))
                TerminateProcess(first_, 1);
        }
        CloseHandle(first_);
    }
    ForgetSettings();
}

void ProgramUnderTest::ForgetSettings()
{
    DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Zovantri");
    HKEY run;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                      KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
        RegDeleteValueA(run, "Zovantri Orvella");
        RegCloseKey(run);
    }
}

std::string ProgramUnderTest::ExePath()
{
    char self[MAX_PATH], full[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string dir(self);
    dir = dir.substr(0, dir.rfind('\\'));
    GetFullPathNameA((dir + "\\..\\Orvella.exe").c_str(), sizeof(full), full, nullptr);
    return full;
}

HANDLE ProgramUnderTest::Start()
{
    std::string exe = ExePath();
    std::vector<char> line(exe.begin(), exe.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    if (!first_) {
        DuplicateHandle(GetCurrentProcess(), process.hProcess, GetCurrentProcess(), &first_, 0,
                        FALSE, DUPLICATE_SAME_ACCESS);
    }
    return process.hProcess;
}

void ProgramUnderTest::RequestShutdown()
{
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("WM_ORVELLA_SHUTDOWN"), 0, 0);
}

bool ProgramUnderTest::WaitForExit(HANDLE process, DWORD timeoutMs)
{
    return WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
}
