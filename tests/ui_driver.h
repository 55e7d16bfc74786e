#pragma once
// Drives the program's real windows from a test: finds them, reads them and presses their
// buttons from a helper thread while the test's own thread runs a modal loop.

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// A top-level window of process `process` (0: this one), visible or not, for which match is
// true, waiting up to timeoutMs; null when none came.
HWND WaitForTopWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs = 10000,
                      DWORD process = 0);
// A visible top-level dialog of process `process` (0: this one) for which match is true,
// waiting up to timeoutMs.
HWND WaitForDialog(const std::function<bool(HWND)>& match, DWORD timeoutMs = 10000,
                   DWORD process = 0);
// Matches message boxes (their text control has the id 0xFFFF).
bool IsMessageBox(HWND window);
std::string ItemText(HWND dialog, int id);
std::string WindowText(HWND window);

// Answers the next message box with `button` from a helper thread and keeps its caption and
// text. Waits for the thread when destroyed.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int button, DWORD timeoutMs = 10000);
    ~MessageBoxAnswerer();
    // Waits for the answer to be given; true when a message box was seen.
    bool Wait();

    std::string caption;
    std::string text;
    UINT icon = 0;  // MB_ICONSTOP, MB_ICONQUESTION, MB_ICONWARNING, MB_ICONINFORMATION or 0

private:
    std::thread thread_;
    bool seen_ = false;
};

// Answers every message box of this process with `button` until destroyed, keeping their texts;
// for runs that may or may not show one.
class EveryMessageBoxAnswerer {
public:
    explicit EveryMessageBoxAnswerer(int button);
    ~EveryMessageBoxAnswerer();
    // Stops answering; the texts seen, in order.
    std::vector<std::string> Stop();

private:
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::vector<std::string> texts_;
};

// The MB_ICON* flag of the icon a message box shows, or 0.
UINT MessageBoxIcon(HWND box);

// What is wrong with the mnemonics (the underlined letters that Alt, or the letter alone
// outside an edit, presses) of the visible controls inside `window`, its pages included: a
// letter that two controls share, a button or check box without one (OK, Cancel and the
// wizard's own buttons, which Enter, Escape and the platform serve, aside), or a text or group
// box that labels the input field after it without one. Empty when all is well.
std::vector<std::string> MnemonicProblems(HWND window);

// Matches the progress dialog (it has the progress bar 1025).
bool IsProgressDialog(HWND window);

// What pressing Cancel on the progress dialog led to.
struct CancelAnswer {
    HWND progress = nullptr;
    bool asked = false;  // the question appeared and was answered
    std::string caption;
    std::string text;
};
// Waits for this process's progress dialog, presses its Cancel and answers the question with
// `button` (IDYES or IDNO). Call it from a helper thread while the job runs.
CancelAnswer CancelProgressDialog(int button);

// Records the position of every progress bar update on this thread (PBM_SETPOS), in order.
class ProgressBarRecorder {
public:
    ProgressBarRecorder();
    ~ProgressBarRecorder();
    static std::vector<int> positions;
    static std::atomic<int> count;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
};

// Memory in another process, for the messages whose parameter points at memory: the window
// that receives one reads it in its own process. Freed when destroyed.
class RemoteMemory {
public:
    // `process` needs PROCESS_VM_OPERATION, PROCESS_VM_READ and PROCESS_VM_WRITE.
    RemoteMemory(HANDLE process, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // Its address in the other process; null when it could not be had.
    void* Address() const { return address_; }
    // Copy `size` bytes at `offset` into it and out of it; false when the copy failed.
    bool Write(const void* data, size_t size, size_t offset = 0);
    bool Read(void* data, size_t size, size_t offset = 0) const;

private:
    HANDLE process_;
    void* address_;
};

// Makes linkPath a host (Unix) symlink to target, through the host's ln; Wine shows it as a
// directory with the reparse-point bit. False when the host cannot be reached.
bool MakeHostSymlink(const std::string& target, const std::string& linkPath);
