#pragma once
// A job front end without windows, for tests that run many jobs or read the engine's messages:
// each job runs on a worker thread that the calling thread waits for, and every error text the
// engine shows is kept. Installed for the object's lifetime.

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "engine/job_front_end.h"

class RecordingFrontEnd : public JobFrontEnd {
public:
    RecordingFrontEnd();
    ~RecordingFrontEnd() override;

    // A job still running after limitMs is a hang: the process ends at once with exit code 3,
    // after printing `replay` (what it takes to run the same case again) to standard error.
    bool RunJob(ProgressState& state, JobProc proc, void* job) override;
    void ShowError(const std::string& text) override;

    // The error texts shown since the last call, in order.
    std::vector<std::string> TakeErrors();

    DWORD limitMs = 30000;
    std::string replay;

private:
    std::mutex mutex_;
    std::vector<std::string> errors_;
};
