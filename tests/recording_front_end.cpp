#include "recording_front_end.h"

#include <cstdio>

RecordingFrontEnd::RecordingFrontEnd() { SetJobFrontEnd(this); }

RecordingFrontEnd::~RecordingFrontEnd() { SetJobFrontEnd(nullptr); }

bool RecordingFrontEnd::RunJob(ProgressState& state, JobProc proc, void* job)
{
    state.BeginJob();
    HANDLE thread = CreateThread(nullptr, 0, proc, job, 0, nullptr);
    if (!thread)
        return false;
    if (WaitForSingleObject(thread, limitMs) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "A job has run for more than %lu ms: it hangs. %s\n",
                     static_cast<unsigned long>(limitMs), replay.c_str());
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    CloseHandle(thread);
    return state.Succeeded();
}

void RecordingFrontEnd::ShowError(const std::string& text)
{
    std::lock_guard<std::mutex> hold(mutex_);
    errors_.push_back(text);
}

std::vector<std::string> RecordingFrontEnd::TakeErrors()
{
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<std::string> taken;
    taken.swap(errors_);
    return taken;
}
