#pragma once
// Runs the engine's jobs in a console: progress and status go to standard error, errors too,
// and Ctrl+C (or Ctrl+Break, or closing the console) cancels the running job exactly as the
// progress dialog's confirmed Cancel does. Outside a job, Ctrl+C is ignored, so a command never
// stops between a finished job and the saving of its record.

#include "../engine/job_front_end.h"

class ConsoleFrontEnd : public JobFrontEnd {
public:
    ConsoleFrontEnd();
    ~ConsoleFrontEnd() override;

    bool RunJob(ProgressState& state, JobProc proc, void* job) override;
    void ShowError(const std::string& text) override;

    // What Ctrl+C does: asks the running job, if any, to stop before its next step.
    void RequestCancel();

private:
    // Prints the state when it is worth a line; *shownPercent is what was printed last.
    void ShowProgress(ProgressState& state, int* shownPercent);

    ProgressState* volatile running_ = nullptr;
    volatile LONG cancelled_ = 0;
    bool console_;
};
