#include "flushing_closer.h"

#include "ansi_name.h"

namespace {

// Measured under Wine on this project's machine: four threads hide nearly all of the flushing of
// thousands of small files; more cost more in switching than they save.
const int kThreads = 4;
const size_t kMostWaiting = 64;  // open files held at most, besides those being flushed

}  // namespace

FlushingCloser::~FlushingCloser()
{
    {
        std::unique_lock<SlimMutex> hold(mutex_);
        changed_.wait(hold, [this] { return open_.empty(); });
        quit_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void FlushingCloser::Hand(WinFile& file, const std::string& path)
{
    Handed handed{std::unique_ptr<WinFile>(new WinFile), path};
    handed.file->TakeOver(file);
    {
        std::unique_lock<SlimMutex> hold(mutex_);
        while (threads_.size() < size_t(kThreads))
            threads_.emplace_back([this] { Run(); });
        changed_.wait(hold, [this] { return waiting_.size() < kMostWaiting; });
        open_.insert(FileNameKey(path, encoding));
        waiting_.push_back(std::move(handed));
    }
    changed_.notify_all();
}

void FlushingCloser::WaitFor(const std::string& path)
{
    std::wstring key = FileNameKey(path, encoding);
    std::unique_lock<SlimMutex> hold(mutex_);
    changed_.wait(hold, [this, &key] { return open_.count(key) == 0; });
}

bool FlushingCloser::Finish(std::string* failedPath)
{
    std::unique_lock<SlimMutex> hold(mutex_);
    changed_.wait(hold, [this] { return open_.empty(); });
    if (error_ == 0)
        return true;
    *failedPath = failedPath_;
    SetLastError(error_);
    return false;
}

void FlushingCloser::Run()
{
    std::unique_lock<SlimMutex> hold(mutex_);
    for (;;) {
        changed_.wait(hold, [this] { return quit_ || !waiting_.empty(); });
        if (waiting_.empty())
            return;
        Handed handed = std::move(waiting_.front());
        waiting_.pop_front();
        changed_.notify_all();
        hold.unlock();
        bool flushed = handed.file->Flush();
        DWORD error = flushed ? 0 : GetLastError();
        handed.file->Close();
        hold.lock();
        if (!flushed && error_ == 0) {
            error_ = error ? error : ERROR_WRITE_FAULT;
            failedPath_ = handed.path;
        }
        open_.erase(open_.find(FileNameKey(handed.path, encoding)));
        changed_.notify_all();
    }
}
