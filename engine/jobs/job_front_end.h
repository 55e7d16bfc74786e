#pragma once
// What shows a job's progress and the engine's error messages to the user. The program uses the
// progress dialog and stop-icon message boxes; the console companion prints to standard error.

#include <string>

#include "progress_dialog.h"

class JobFrontEnd {
public:
    virtual ~JobFrontEnd() = default;
    // Runs proc(job) on a worker thread while showing `state`; returns after the worker has
    // ended. True when the job completed; false when it failed, was cancelled or never started.
    virtual bool RunJob(ProgressState& state, JobProc proc, void* job) = 0;
    // Tells the user about a failure, `text` being in `encoding`. May be called from a worker
    // thread.
    virtual void ShowError(const std::string& text, NameEncoding encoding) = 0;
};

// True while the progress dialog shows a job of this program's.
bool IsJobRunning();

// The front end in use: the progress dialog unless another one was installed.
JobFrontEnd& CurrentJobFrontEnd();
// Installs `frontEnd` (not owned); null restores the progress dialog.
void SetJobFrontEnd(JobFrontEnd* frontEnd);

// Shorthands for the current front end.
inline bool RunJob(ProgressState& state, JobProc proc, void* job)
{
    return CurrentJobFrontEnd().RunJob(state, proc, job);
}
inline void ShowError(const std::string& text, NameEncoding encoding = NameEncoding::ANSI)
{
    CurrentJobFrontEnd().ShowError(text, encoding);
}
