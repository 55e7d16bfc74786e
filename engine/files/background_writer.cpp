#include "background_writer.h"

#include "win_file.h"

BackgroundWriter::BackgroundWriter(WinFile& file) : file_(file), thread_([this] { Run(); }) {}

BackgroundWriter::~BackgroundWriter()
{
    {
        std::unique_lock<SlimMutex> hold(mutex_);
        changed_.wait(hold, [this] { return !busy_ && !flushing_; });
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
    if (flusher_.joinable())
        flusher_.join();
}

bool BackgroundWriter::Start(const uint8_t* data, uint32_t length)
{
    {
        std::unique_lock<SlimMutex> hold(mutex_);
        changed_.wait(hold, [this] { return !busy_; });
        if (error_) {
            SetLastError(error_);
            return false;
        }
        data_ = data;
        length_ = length;
        busy_ = true;
    }
    changed_.notify_all();
    return true;
}

bool BackgroundWriter::Wait()
{
    std::unique_lock<SlimMutex> hold(mutex_);
    changed_.wait(hold, [this] { return !busy_ && !flushing_; });
    if (error_)
        SetLastError(error_);
    return error_ == 0;
}

void BackgroundWriter::NoteFailure(DWORD error)
{
    if (!error_)
        error_ = error ? error : ERROR_WRITE_FAULT;
}

void BackgroundWriter::Run()
{
    std::unique_lock<SlimMutex> hold(mutex_);
    for (;;) {
        changed_.wait(hold, [this] { return busy_ || quit_; });
        if (!busy_)
            return;
        const uint8_t* data = data_;
        uint32_t length = length_;
        bool failed = error_ != 0;  // nothing is written after a failure
        hold.unlock();
        bool written = !failed && file_.Write(data, length);
        DWORD error = written ? 0 : GetLastError();
        hold.lock();
        if (!written)
            NoteFailure(error);
        unflushed_ += length;
        if (written && unflushed_ >= kFlushEvery && !flushing_) {
            unflushed_ = 0;
            flushing_ = true;
            if (!flusher_.joinable())
                flusher_ = std::thread([this] { FlushAsItGrows(); });
        }
        busy_ = false;
        changed_.notify_all();
    }
}

void BackgroundWriter::FlushAsItGrows()
{
    std::unique_lock<SlimMutex> hold(mutex_);
    for (;;) {
        changed_.wait(hold, [this] { return flushing_ || quit_; });
        if (!flushing_)
            return;
        hold.unlock();
        bool flushed = file_.Flush();
        DWORD error = flushed ? 0 : GetLastError();
        hold.lock();
        if (!flushed)
            NoteFailure(error);
        flushing_ = false;
        changed_.notify_all();
    }
}
