#include "background_writer.h"

#include "win_file.h"

BackgroundWriter::BackgroundWriter(WinFile& file) : file_(file), thread_([this] { Run(); }) {}

BackgroundWriter::~BackgroundWriter()
{
    {
        std::unique_lock<std::mutex> hold(mutex_);
        changed_.wait(hold, [this] { return !busy_; });
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool BackgroundWriter::Start(const uint8_t* data, uint32_t length)
{
    if (!Wait())
        return false;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        data_ = data;
        length_ = length;
        busy_ = true;
    }
    changed_.notify_all();
    return true;
}

bool BackgroundWriter::Wait()
{
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [this] { return !busy_; });
    if (error_)
        SetLastError(error_);
    return error_ == 0;
}

void BackgroundWriter::Run()
{
    std::unique_lock<std::mutex> hold(mutex_);
    for (;;) {
        changed_.wait(hold, [this] { return busy_ || quit_; });
        if (!busy_)
            return;
        const uint8_t* data = data_;
        uint32_t length = length_;
        hold.unlock();
        bool written = error_ == 0 && file_.Write(data, length);
        DWORD error = written ? 0 : GetLastError();
        hold.lock();
        if (!written && !error_)
            error_ = error ? error : ERROR_WRITE_FAULT;
        busy_ = false;
        changed_.notify_all();
    }
}
