#include "recording_front_end.h"

#include <cstdio>

#include "wait_scale.h"

RecordingFrontEnd::RecordingFrontEnd() { SetJobFrontEnd(this); }

RecordingFrontEnd::~RecordingFrontEnd() { SetJobFrontEnd(nullptr); }

bool RecordingFrontEnd::RunJob(ProgressState& state, JobProc proc, void* job)
{
    state.BeginJob();
    HANDLE thread = CreateThread(nullptr, 0, proc, job, 0, nullptr);
    if (!thread)
        return false;
    if (WaitForSingleObject(thread, ScaledMs(limitMs)) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "A job has run for more than %lu ms: it hangs. %s\n",
                     static_cast<unsigned long>(ScaledMs(limitMs)), replay.c_str());
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    CloseHandle(thread);
    return state.Succeeded();
}

void RecordingFrontEnd::ShowError(const std::string& text, NameEncoding encoding)
{
    std::lock_guard<std::mutex> hold(mutex_);
    errors_.push_back(text);
    encodings_.push_back(encoding);
}

std::vector<NameEncoding> RecordingFrontEnd::TakeEncodings()
{
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<NameEncoding> taken;
    taken.swap(encodings_);
    return taken;
}

std::vector<std::string> RecordingFrontEnd::TakeErrors()
{
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<std::string> taken;
    taken.swap(errors_);
    return taken;
}

ObservingFrontEnd::ObservingFrontEnd() : ObservingFrontEnd(CurrentJobFrontEnd()) {}

ObservingFrontEnd::ObservingFrontEnd(JobFrontEnd& inner)
    : previous_(CurrentJobFrontEnd()), inner_(inner)
{
    SetJobFrontEnd(this);
}

ObservingFrontEnd::~ObservingFrontEnd() { SetJobFrontEnd(&previous_); }

bool ObservingFrontEnd::RunJob(ProgressState& state, JobProc proc, void* job)
{
    {
        std::lock_guard<std::mutex> hold(mutex_);
        running_ = &state;
    }
    if (beforeEachJob)
        beforeEachJob(proc);
    bool completed = inner_.RunJob(state, proc, job);
    {
        std::lock_guard<std::mutex> hold(mutex_);
        running_ = nullptr;
    }
    ++jobs;
    ProgressLock hold(state);
    title = state.title;
    status = state.status;
    done = state.done;
    total = state.total;
    error = state.error;
    return completed;
}

void ObservingFrontEnd::ShowError(const std::string& text, NameEncoding encoding)
{
    inner_.ShowError(text, encoding);
}

bool ObservingFrontEnd::RunningProgress(uint64_t* done, uint64_t* total, std::string* title)
{
    std::lock_guard<std::mutex> hold(mutex_);
    if (!running_)
        return false;
    ProgressLock state(*running_);
    *done = running_->done;
    *total = running_->total;
    if (title)
        *title = running_->title;
    return running_->started;
}
