#include "progress_state.h"


ProgressState::ProgressState() : cancelEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
    InitializeCriticalSection(&lock);
}

ProgressState::~ProgressState()
{
    CloseHandle(cancelEvent);
    DeleteCriticalSection(&lock);
}

void ProgressState::RequestCancel()
{
    InterlockedExchange(&cancelRequested, 1);
    SetEvent(cancelEvent);
}

void ProgressState::ClearCancel()
{
    InterlockedExchange(&cancelRequested, 0);
    ResetEvent(cancelEvent);
}

void ProgressState::BeginJob()
{
    ClearCancel();
    ProgressLock hold(*this);
    started = false;
}

bool ProgressState::Succeeded()
{
    ProgressLock hold(*this);
    return started && error == 0 && done == total;
}

void NotifyProgress(ProgressState& state)
{
    if (ProgressView* view = state.view)
        view->StateChanged(state);
}

int PercentDone(uint64_t done, uint64_t total)
{
    if (done == total)
        return 100;
    if (total == 0)
        return 0;
    return int(double(done) / (double(total) * 0.01));
}

void StartProgress(ProgressState& state, const std::string& title, uint64_t total)
{
    {
        ProgressLock hold(state);
        state.title = title;
        state.status.clear();
        state.done = 0;
        state.total = total;
        state.error = 0;
        state.started = true;
    }
    NotifyProgress(state);
}

void FinishProgress(ProgressState& state)
{
    {
        ProgressLock hold(state);
        state.status = "Done.";
        state.done = state.total;
    }
    NotifyProgress(state);
}

void FailProgress(ProgressState& state, uint32_t error)
{
    {
        ProgressLock hold(state);
        state.error = error;
    }
    NotifyProgress(state);
}
