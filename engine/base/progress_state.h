#pragma once
// What a worker thread tells the window that shows its job: two lines of text, the units done
// out of the total, and a non-zero error to end the job as failed. The worker changes the fields
// under `lock` and then calls NotifyProgress; it polls IsCancelRequested before each
// step (and between the chunks of a large file). Every job owns its state: two jobs never share
// one.

#include <windows.h>

#include <cstdint>
#include <string>

#include "name_encoding.h"

struct ProgressState;

// What shows a state while its job runs (the progress dialog): told, without waiting, each time
// the worker has changed the state. The state knows nothing else of it.
class ProgressView {
public:
    virtual void StateChanged(ProgressState& state) = 0;

protected:
    ~ProgressView() = default;
};

struct ProgressState {
    ProgressState();
    ~ProgressState();
    ProgressState(const ProgressState&) = delete;
    ProgressState& operator=(const ProgressState&) = delete;

    // Asks the worker to stop before its next step: sets the flag and signals cancelEvent.
    void RequestCancel();
    // Forgets a request left from an earlier job.
    void ClearCancel();
    // Readies the state for a new job, before its worker starts: forgets a cancel request and
    // marks everything in the state as left by an earlier job until the worker's StartProgress.
    void BeginJob();
    // The job's own outcome, read once its worker has ended: it started, reported no error and
    // brought done up to total.
    bool Succeeded();
    // True when a cancel was asked for. A plain read: cheap enough to poll for every chunk
    // (a wait on the event costs a round trip to the system each time).
    bool IsCancelRequested() const { return cancelRequested != 0; }

    // The texts (title, status, cancelRefusal) are in `encoding`, which the job sets before it
    // starts: a job over the names of a vault encrypted with its password holds them in UTF-8.
    std::string title;
    std::string status;
    NameEncoding encoding = NameEncoding::ANSI;
    uint64_t done = 0;
    uint64_t total = 0;
    CRITICAL_SECTION lock;
    HANDLE cancelEvent;  // auto-reset, unnamed; signalled with the flag below
    volatile LONG cancelRequested = 0;
    ProgressView* view = nullptr;  // what shows this state, while it exists
    // Why a cancel cannot stop this job, for a job that must run to its end once started (the
    // user is told this instead of being asked to confirm a cancel); empty when it can be
    // cancelled. Set before the job starts.
    std::string cancelRefusal;
    uint32_t error = 0;
    // False from BeginJob until the worker's first report: until then the texts and counts are
    // an earlier job's (a finished one leaves done == total behind) and say nothing of this one.
    bool started = false;
    // 1 while a WM_JOB_PROGRESS is on its way to the dialog: posts are coalesced, so a busy worker
    // never floods the dialog's queue.
    volatile LONG notifyPending = 0;
};

// Tells the state's view, if it has one, that the state has changed. Never waits.
void NotifyProgress(ProgressState& state);

// Holds a state's lock for one scope.
class ProgressLock {
public:
    explicit ProgressLock(ProgressState& state) : lock_(state.lock) { EnterCriticalSection(&lock_); }
    ~ProgressLock() { LeaveCriticalSection(&lock_); }
    ProgressLock(const ProgressLock&) = delete;
    ProgressLock& operator=(const ProgressLock&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

// The bar position 0..100 for `done` of `total`: 100 when they are equal (a job with nothing to
// do is complete), else done / (total / 100) truncated, 0 for a total of 0.
int PercentDone(uint64_t done, uint64_t total);

// The worker's first report: both texts, done 0, the total, no error; the state is this job's from
// now on.
void StartProgress(ProgressState& state, const std::string& title, uint64_t total);
// Ends the job as completed: "Done." and done = total.
void FinishProgress(ProgressState& state);
// Ends the job as failed with a non-zero error code.
void FailProgress(ProgressState& state, uint32_t error);
