#pragma once
// A console program of ours started as a process of its own, so that a test can let it run to
// its end or end it at any instant, as a crash or a power cut would. Its standard input gets the
// given text; what it prints goes nowhere.

#include <windows.h>

#include <string>
#include <vector>

class CompanionProcess {
public:
    CompanionProcess(const std::string& exe, const std::vector<std::string>& arguments,
                     const std::string& input);
    ~CompanionProcess();  // ends it if it still runs
    CompanionProcess(const CompanionProcess&) = delete;
    CompanionProcess& operator=(const CompanionProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    // Waits for it to end by itself: its exit code, or -1 when it still ran after timeoutMs.
    int Wait(DWORD timeoutMs = 60000);
    // Ends it at once (TerminateProcess), unless it has ended already, and waits until it is
    // gone. True when it was still running.
    bool Kill();

private:
    HANDLE process_ = nullptr;
};

// The console companion beside the program, the test build of it whose file operations can end
// the process (orvella-fault-host, beside the test programs), and the test program that moves the
// vaults root as the Options page does (orvella-move-host, there too).
std::string CompanionPath();
std::string FaultHostPath();
std::string MoveHostPath();
