#pragma once
// Writes buffers to a file on a thread of its own, one at a time, so the caller can fill (and
// encrypt) the next buffer meanwhile. The first failed write is kept and reported by Wait.

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class WinFile;

class BackgroundWriter {
public:
    explicit BackgroundWriter(WinFile& file);
    ~BackgroundWriter();  // waits for the write in flight
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Waits for the previous write, then starts writing `length` bytes of `data`, which must
    // stay untouched until the next Start or Wait. False when an earlier write failed.
    bool Start(const uint8_t* data, uint32_t length);
    // Waits for the write in flight; false (with the system's error set) when any write failed.
    bool Wait();

private:
    void Run();

    WinFile& file_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const uint8_t* data_ = nullptr;
    uint32_t length_ = 0;
    bool busy_ = false;
    bool quit_ = false;
    DWORD error_ = 0;
    std::thread thread_;
};
