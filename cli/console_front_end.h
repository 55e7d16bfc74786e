#pragma once
// Runs the engine's jobs in a console: progress and status go to standard error, errors too,
// and Ctrl+C (or Ctrl+Break, or closing the console) cancels the running job exactly as the
// progress dialog's confirmed Cancel does; a job that cannot be cancelled says why and goes on. Outside a job, Ctrl+C is ignored, so a command never
// stops between a finished job and the saving of its record.

#include "../engine/jobs/job_front_end.h"

// A text in `encoding` for standard output or error (`which`, as GetStdHandle takes it): in a
// console through the wide call, so that a name in any script shows as it is; redirected, in the
// ANSI code page (where it lacks a character, the system's nearest or '?').
void PutText(const std::string& text, NameEncoding encoding, DWORD which);

class ConsoleFrontEnd : public JobFrontEnd {
public:
    ConsoleFrontEnd();
    ~ConsoleFrontEnd() override;

    bool RunJob(ProgressState& state, JobProc proc, void* job) override;
    void ShowError(const std::string& text, NameEncoding encoding) override;

    // What Ctrl+C does: asks the running job, if any, to stop before its next step.
    void RequestCancel();

private:
    void CancelRunningJob();  // under runningLock_
    void SetRunning(ProgressState* state);
    // Prints the state when it is worth a line; *shownPercent is what was printed last.
    void ShowProgress(ProgressState& state, int* shownPercent);

    CRITICAL_SECTION runningLock_;  // guards running_ and what it points to
    ProgressState* running_ = nullptr;
    volatile LONG cancelled_ = 0;
    volatile LONG refusalShown_ = 0;
    bool console_;
};
