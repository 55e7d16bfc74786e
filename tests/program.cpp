#include "program.h"

#include "scratch.h"
#include "wait_scale.h"

#include <algorithm>
#include <vector>


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

void ProgramUnderTest::SetVaultsRoot(const std::string& root)
{
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Zovantri\\Zovantri Orvella", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, "VaultsRoot", 0, REG_SZ, reinterpret_cast<const BYTE*>(root.c_str()),
                   DWORD(root.size() + 1));
    RegCloseKey(key);
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

HANDLE ProgramUnderTest::Start(const char* desktop, const std::string& exe)
{
    std::vector<char> line(exe.begin(), exe.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.lpDesktop = const_cast<char*>(desktop);
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
    return WaitForSingleObject(process, ScaledMs(timeoutMs)) == WAIT_OBJECT_0;
}

namespace {

// Collects everything a pipe delivers, on a thread of its own.
struct PipeReader {
    HANDLE pipe;
    std::string text;
    static DWORD WINAPI Run(void* parameter)
    {
        PipeReader& reader = *static_cast<PipeReader*>(parameter);
        char buffer[4096];
        DWORD got;
        while (ReadFile(reader.pipe, buffer, sizeof(buffer), &got, nullptr) && got)
            reader.text.append(buffer, got);
        return 0;
    }
};

// Console output uses \r\n line ends; tests compare plain \n.
std::string WithoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

std::string QuoteArgument(const std::string& argument)
{
    return "\"" + argument + "\"";
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& arguments, const std::string& input)
{
    std::string exe = ProgramUnderTest::ExePath();
    exe = exe.substr(0, exe.rfind('\\')) + "\\orvella-cli.exe";
    std::string line = QuoteArgument(exe);
    for (const std::string& argument : arguments)
        line += " " + QuoteArgument(argument);

    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE inRead, inWrite, outRead, outWrite, errRead, errWrite;
    CreatePipe(&inRead, &inWrite, &inherit, 0);
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    CliRun run;
    BOOL started = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                  nullptr, nullptr, &startup, &process);
    CloseHandle(inRead);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        PipeReader out = {outRead, ""}, err = {errRead, ""};
        HANDLE readers[] = {CreateThread(nullptr, 0, PipeReader::Run, &out, 0, nullptr),
                            CreateThread(nullptr, 0, PipeReader::Run, &err, 0, nullptr)};
        DWORD written;
        WriteFile(inWrite, input.data(), DWORD(input.size()), &written, nullptr);
        CloseHandle(inWrite);
        inWrite = nullptr;
        WaitForSingleObject(process.hProcess, ScaledMs(120000));
        WaitForMultipleObjects(2, readers, TRUE, ScaledMs(10000));
        CloseHandle(readers[0]);
        CloseHandle(readers[1]);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.exitCode = int(code);
        run.out = WithoutCarriageReturns(out.text);
        run.err = WithoutCarriageReturns(err.text);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (inWrite)
        CloseHandle(inWrite);
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
}
