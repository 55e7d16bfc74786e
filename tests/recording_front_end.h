#pragma once
// A job front end without windows, for tests that run many jobs or read the engine's messages:
// each job runs on a worker thread that the calling thread waits for, and every error text the
// engine shows is kept. Installed for the object's lifetime.

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/jobs/job_front_end.h"

class RecordingFrontEnd : public JobFrontEnd {
public:
    RecordingFrontEnd();
    ~RecordingFrontEnd() override;

    // A job still running after limitMs is a hang: the process ends at once with exit code 3,
    // after printing `replay` (what it takes to run the same case again) to standard error.
    bool RunJob(ProgressState& state, JobProc proc, void* job) override;
    void ShowError(const std::string& text, NameEncoding encoding) override;

    // The error texts shown since the last call, in order, each in UTF-8 when it was shown so
    // (TakeEncodings says which).
    std::vector<std::string> TakeErrors();
    // The encodings of the texts shown since the last call, in order.
    std::vector<NameEncoding> TakeEncodings();

    DWORD limitMs = 30000;
    std::string replay;

private:
    std::mutex mutex_;
    std::vector<std::string> errors_;
    std::vector<NameEncoding> encodings_;
};

// Passes every job and message on to another front end (by default the one installed before
// it), and keeps what
// each job's state showed when the job ended, for tests that read a job's texts and counts (every
// job owns its state, which is gone once the job is). Installed for the object's lifetime.
class ObservingFrontEnd : public JobFrontEnd {
public:
    ObservingFrontEnd();
    explicit ObservingFrontEnd(JobFrontEnd& inner);
    // Installs again the front end that was installed before it.
    ~ObservingFrontEnd() override;

    bool RunJob(ProgressState& state, JobProc proc, void* job) override;
    void ShowError(const std::string& text, NameEncoding encoding) override;

    // The running job's counts, read under its lock; false when no job runs. Safe from any
    // thread: the job's state is not released while it is being read.
    bool RunningProgress(uint64_t* done, uint64_t* total, std::string* title = nullptr);

    // Called with each job's procedure just before the job is passed on.
    std::function<void(JobProc)> beforeEachJob;
    int jobs = 0;  // jobs run so far
    std::string title;
    std::string status;
    uint64_t done = 0;
    uint64_t total = 0;
    uint32_t error = 0;

private:
    JobFrontEnd& previous_;
    JobFrontEnd& inner_;
    std::mutex mutex_;
    ProgressState* running_ = nullptr;
};
