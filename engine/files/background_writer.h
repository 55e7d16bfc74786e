#pragma once
// Writes buffers to a file on a thread of its own, one at a time, so the caller can fill (and
// encrypt) the next buffer meanwhile. The first failed write or flush is kept and reported by
// Start and Wait.
//
// A large file is also flushed to the disk as it grows, on one more thread, each time another
// kFlushEvery bytes have been written: the disk then takes the file in step with the writes
// instead of all at once when the caller flushes it in the end. A file smaller than that starts
// no such thread.

#include <windows.h>

#include <cstdint>
#include <thread>

#include "../base/slim_lock.h"

class WinFile;

class BackgroundWriter {
public:
    explicit BackgroundWriter(WinFile& file);
    ~BackgroundWriter();  // waits for the write and the flush in flight
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Waits for the previous write, then starts writing `length` bytes of `data`, which must
    // stay untouched until the next Start or Wait. False when an earlier write or flush failed.
    bool Start(const uint8_t* data, uint32_t length);
    // Waits for the write and the flush in flight; false (with the system's error set) when any
    // write or flush failed.
    bool Wait();

    enum : uint32_t { kFlushEvery = 32 * 1024 * 1024 };

private:
    void Run();
    void FlushAsItGrows();
    // Keeps the first failure; called with the mutex held.
    void NoteFailure(DWORD error);

    WinFile& file_;
    SlimMutex mutex_;
    SlimCondition changed_;
    const uint8_t* data_ = nullptr;
    uint32_t length_ = 0;
    bool busy_ = false;      // a write is in flight
    bool flushing_ = false;  // a flush is in flight
    uint64_t unflushed_ = 0;  // bytes written since the last flush began
    bool quit_ = false;
    DWORD error_ = 0;
    std::thread thread_;
    std::thread flusher_;  // started with the first flush
};
