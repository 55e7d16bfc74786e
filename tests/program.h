#pragma once
// Starts the real program (Orvella.exe, built beside the tests' folder) as a separate process
// and cleans up after it: the program's registry key and Run value are removed before and after,
// and a program still running at the end is asked to exit, then ended.

#include <windows.h>

#include <string>
#include <vector>

// One run of the console companion (orvella-cli.exe beside Orvella.exe).
struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};
CliRun RunCli(const std::vector<std::string>& arguments, const std::string& input = "");

class ProgramUnderTest {
public:
    ProgramUnderTest();
    ~ProgramUnderTest();

    static std::string ExePath();
    // Starts one more instance, on the named desktop (null: this thread's own); its process
    // handle, or null. `exe` names another copy to start (an installed one) instead of the
    // build tree's.
    HANDLE Start(const char* desktop = nullptr, const std::string& exe = ExePath());
    // Asks the running instance to exit through the registered shutdown message.
    static void RequestShutdown();
    // True when the process ended within timeoutMs.
    static bool WaitForExit(HANDLE process, DWORD timeoutMs = 10000);

    static void ForgetSettings();
    // Stores root as the program's "VaultsRoot".
    static void SetVaultsRoot(const std::string& root);

private:
    HANDLE first_ = nullptr;
};
