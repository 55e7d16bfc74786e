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
            ShowError(state->cancelRefusal);
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
    int percent;
    {
        ProgressLock hold(state);
        if (!state.started)
            return;  // what is there is an earlier job's
        title = state.title;
        status = state.status;
        percent = state.error ? 0 : PercentDone(state.done, state.total);
    }
    if (console_) {
        std::fprintf(stderr, "\r%s: %3d%% %-50.50s", title.c_str(), percent, status.c_str());
    } else if (percent / 10 != *shownPercent / 10 || *shownPercent < 0) {
        // Redirected: one line per tenth, so a log stays short.
        std::fprintf(stderr, "%s: %d%% %s\n", title.c_str(), percent, status.c_str());
    } else {
        return;
    }
    std::fflush(stderr);
    *shownPercent = percent;
}

void ConsoleFrontEnd::ShowError(const std::string& text)
{
    std::fprintf(stderr, "%s%s\n", console_ ? "\n" : "", text.c_str());
    std::fflush(stderr);
}
