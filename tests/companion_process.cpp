#include "companion_process.h"

#include "program.h"
#include "wait_scale.h"

namespace {

std::string DirectoryOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

std::string CommandLine(const std::string& exe, const std::vector<std::string>& arguments)
{
    std::string line = "\"" + exe + "\"";
    for (const std::string& argument : arguments)
        line += " \"" + argument + "\"";
    return line;
}

// A test program beside this one.
std::string TestProgramPath(const std::string& name)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    return DirectoryOf(self) + "\\" + name;
}

}  // namespace

std::string CompanionPath()
{
    return DirectoryOf(ProgramUnderTest::ExePath()) + "\\orvella-cli.exe";
}

std::string FaultHostPath() { return TestProgramPath("orvella-fault-host.exe"); }

std::string MoveHostPath() { return TestProgramPath("orvella-move-host.exe"); }

CompanionProcess::CompanionProcess(const std::string& exe,
                                   const std::vector<std::string>& arguments,
                                   const std::string& input)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE inRead, inWrite;
    if (!CreatePipe(&inRead, &inWrite, &inherit, 0))
        return;
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    HANDLE nowhere = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = nowhere;
    startup.hStdError = nowhere;
    std::string line = CommandLine(exe, arguments);
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    PROCESS_INFORMATION started;
    if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       nullptr, &startup, &started)) {
        CloseHandle(started.hThread);
        process_ = started.hProcess;
        DWORD written;
        WriteFile(inWrite, input.data(), DWORD(input.size()), &written, nullptr);
    }
    CloseHandle(inRead);
    CloseHandle(inWrite);
    CloseHandle(nowhere);
}

CompanionProcess::~CompanionProcess()
{
    if (process_) {
        Kill();
        CloseHandle(process_);
    }
}

int CompanionProcess::Wait(DWORD timeoutMs)
{
    if (!process_ || WaitForSingleObject(process_, ScaledMs(timeoutMs)) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return int(code);
}

bool CompanionProcess::Kill()
{
    if (!process_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0)
        return false;
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, INFINITE);
    return true;
}
