#pragma once
// Writes the contents of one file an unlock restores. A file larger than one transfer buffer is
// written from a copy on a thread of its own (BackgroundWriter), so the unlock reads and deciphers
// the next piece meanwhile, and it is flushed as it grows, so closing it waits for the last few
// megabytes only; a smaller file is written at once and starts no thread.

#include <cstdint>
#include <memory>

#include "../base/secret_memory.h"
#include "../files/background_writer.h"
#include "../files/win_file.h"

class RestoredFileWriter {
public:
    // file: open for writing; size: the bytes that will be written, piece by piece.
    RestoredFileWriter(WinFile& file, uint64_t size);
    ~RestoredFileWriter() = default;  // waits for the write in flight
    RestoredFileWriter(const RestoredFileWriter&) = delete;
    RestoredFileWriter& operator=(const RestoredFileWriter&) = delete;

    // Writes `length` bytes (at most one transfer buffer) or starts writing a copy of them;
    // `data` may change once this returns. False (with the system's error) when this or an
    // earlier write failed.
    bool Write(const uint8_t* data, uint32_t length);
    // Waits until everything is written; false (with the system's error) when a write failed.
    bool Finish();

private:
    WinFile& file_;
    WipedBlock copies_;  // two transfer buffers, used in turn
    std::unique_ptr<BackgroundWriter> writer_;
    int next_ = 0;
};
