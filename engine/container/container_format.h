#pragma once
// The container file of a locked vault: no file header, just one entry per file or folder, in
// pre-order, to the end of the file. Each entry is
//   24 bytes   the encrypted entry header (below)
//   E(n) bytes the encrypted relative name (n = nameLength, zero-padded to whole blocks)
//   E(size)    for a file only: its contents, encrypted in chunks of CONTENT_CHUNK bytes,
//              the final partial chunk zero-padded
// where E rounds up to whole cipher blocks. Needs no Win32.

#include <cstdint>

enum : uint32_t {
    ENTRY_HEADER_SIZE = 24,
    ENTRY_TYPE = 1,
    CONTENT_CHUNK = 32768,
    // The transfer buffer holds the padded name and a terminator.
    MAX_ENTRY_NAME_LENGTH = CONTENT_CHUNK - 1,
};

// The plaintext entry header, little-endian:
//   0 type (16)  2 reserved (16)  4 attributes (32)  8 size low (32)  12 size high (32)
//   16 nameLength (16)  18 reserved (6 bytes)
struct EntryHeader {
    uint16_t type = ENTRY_TYPE;
    uint32_t attributes = 0;
    uint64_t size = 0;
    uint16_t nameLength = 0;
};

void EncodeEntryHeader(const EntryHeader& header, uint8_t bytes[ENTRY_HEADER_SIZE]);
EntryHeader DecodeEntryHeader(const uint8_t bytes[ENTRY_HEADER_SIZE]);

// Whole cipher blocks of n bytes.
inline uint64_t PaddedSize(uint64_t n) { return (n + 7) & ~uint64_t(7); }

// Bytes the contents of a file of `size` bytes take in the container.
inline uint64_t ContentSize(uint64_t size)
{
    return size / CONTENT_CHUNK * CONTENT_CHUNK + PaddedSize(size % CONTENT_CHUNK);
}
