#pragma once
// Buffered access to a container file through the vault jobs' transfer buffer. Everything a
// container holds is a whole number of cipher blocks, and ECB encrypts each block on its own, so
// how the bytes are grouped into reads and writes does not change them: large transfers keep the
// number of system calls per gigabyte small.

#include <cstdint>

#include "../crypto/block_cipher.h"
#include "../crypto/parallel_cipher.h"
#include "../files/background_writer.h"
#include "../files/win_file.h"
#include "entry_stream.h"

// Fills one half of the buffer while the other half is being written (BackgroundWriter). A half
// is encrypted as a whole once it is full, on two processors (ParallelCipher).
class ContainerWriter : public EntryWriter {
public:
    // buffer: 2 x capacity bytes.
    ContainerWriter(WinFile& file, BlockCipher& cipher, uint8_t* buffer, uint32_t capacity);

    // Seal pads what it takes and keeps it for writing.
    uint8_t* Room(uint32_t bytes, uint32_t* available) override;
    void Seal(uint32_t length) override;
    // Encrypts what is kept and starts writing it out; false (with the system's error) when a
    // write failed.
    bool Flush();
    bool Finish() override;
    uint64_t Count() const override { return count_; }

private:
    BackgroundWriter writer_;
    ParallelCipher cipher_;
    uint8_t* halves_[2];
    int current_ = 0;
    uint8_t* buffer_;
    uint32_t capacity_;
    uint32_t used_ = 0;
    uint64_t count_ = 0;
};

class ContainerReader : public EntryReader {
public:
    ContainerReader(WinFile& file, BlockCipher& cipher, uint8_t* buffer, uint32_t capacity);

    // Decrypts in place in the buffer, a whole read at a time (on two processors).
    Result Take(uint32_t length, const uint8_t** data) override;
    uint64_t Count() const override { return count_; }

private:
    bool Refill();

    WinFile& file_;
    ParallelCipher cipher_;
    uint8_t* buffer_;
    uint32_t capacity_;
    uint32_t begin_ = 0;
    uint32_t end_ = 0;
    uint32_t clear_ = 0;  // deciphered up to here
    bool eof_ = false;
    uint64_t count_ = 0;
};
