#include "console_front_end.h"

#include <cstdio>

namespace {

ConsoleFrontEnd* installed = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    if (installed)
        installed->RequestCancel();
    return TRUE;
}

bool IsConsole(DWORD which)
{
    DWORD mode;
    return GetConsoleMode(GetStdHandle(which), &mode) != FALSE;
}

}  // namespace

void PutText(const std::string& text, NameEncoding encoding, DWORD which)
{
    std::wstring wide = WidenName(text, encoding);
    FILE* stream = which == STD_OUTPUT_HANDLE ? stdout : stderr;
    if (IsConsole(which)) {
        std::fflush(stream);
        DWORD written = 0;
        WriteConsoleW(GetStdHandle(which), wide.data(), DWORD(wide.size()), &written, nullptr);
        return;
    }
    std::string ansi;
    NarrowName(wide.c_str(), NameEncoding::ANSI, &ansi);
    std::fputs(ansi.c_str(), stream);
}

namespace {

// The status as one console line shows it: exactly `width` characters, cut or padded.
std::string FittedStatus(const std::string& status, NameEncoding encoding, size_t width)
{
    std::wstring wide = WidenName(status, encoding);
    wide.resize(width, L' ');
    std::string fitted;
    NarrowName(wide.c_str(), encoding, &fitted);
    return fitted;
}

}  // namespace

ConsoleFrontEnd::ConsoleFrontEnd() : console_(IsConsole(STD_ERROR_HANDLE))
{
    InitializeCriticalSection(&runningLock_);
    installed = this;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

ConsoleFrontEnd::~ConsoleFrontEnd()
{
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    installed = nullptr;
    DeleteCriticalSection(&runningLock_);
}

void ConsoleFrontEnd::RequestCancel()
{
    // Held throughout: the job's state goes with the job, which cannot end its run meanwhile.
    EnterCriticalSection(&runningLock_);
    CancelRunningJob();
    LeaveCriticalSection(&runningLock_);
}

void ConsoleFrontEnd::CancelRunningJob()
{
    ProgressState* state = running_;
    if (!state)
        return;
    // A job that must run to its end says why, once, and goes on.
    if (!state->cancelRefusal.empty()) {
        if (InterlockedExchange(&refusalShown_, 1) == 0)
            ShowError(state->cancelRefusal, state->encoding);
        return;
    }
    InterlockedExchange(&cancelled_, 1);
    state->RequestCancel();
}

bool ConsoleFrontEnd::RunJob(ProgressState& state, JobProc proc, void* job)
{
    state.BeginJob();
    InterlockedExchange(&cancelled_, 0);
    InterlockedExchange(&refusalShown_, 0);
    HANDLE thread = CreateThread(nullptr, 0, proc, job, 0, nullptr);
    if (!thread)
        return false;
    SetRunning(&state);
    int shownPercent = -1;
    while (WaitForSingleObject(thread, 200) == WAIT_TIMEOUT)
        ShowProgress(state, &shownPercent);
    SetRunning(nullptr);
    CloseHandle(thread);
    ShowProgress(state, &shownPercent);
    if (console_)
        std::fputc('\n', stderr);

    if (cancelled_) {
        std::fputs("Cancelled.\n", stderr);
        return false;
    }
    return state.Succeeded();
}

void ConsoleFrontEnd::SetRunning(ProgressState* state)
{
    EnterCriticalSection(&runningLock_);
    running_ = state;
    LeaveCriticalSection(&runningLock_);
}

void ConsoleFrontEnd::ShowProgress(ProgressState& state, int* shownPercent)
{
    std::string title, status;
    NameEncoding encoding;
    int percent;
    {
        ProgressLock hold(state);
        if (!state.started)
            return;  // what is there is an earlier job's
        title = state.title;
        status = state.status;
        encoding = state.encoding;
        percent = state.error ? 0 : PercentDone(state.done, state.total);
    }
    char share[16];
    if (console_) {
        std::snprintf(share, sizeof(share), ": %3d%% ", percent);
        PutText("\r" + title + share + FittedStatus(status, encoding, 50), encoding,
                STD_ERROR_HANDLE);
    } else if (percent / 10 != *shownPercent / 10 || *shownPercent < 0) {
        // Redirected: one line per tenth, so a log stays short.
        std::snprintf(share, sizeof(share), ": %d%% ", percent);
        PutText(title + share + status + "\n", encoding, STD_ERROR_HANDLE);
    } else {
        return;
    }
    std::fflush(stderr);
    *shownPercent = percent;
}

void ConsoleFrontEnd::ShowError(const std::string& text, NameEncoding encoding)
{
    PutText((console_ ? "\n" : "") + text + "\n", encoding, STD_ERROR_HANDLE);
    std::fflush(stderr);
}
