#pragma once
// The entry stream of a container (entry headers, names and contents, each padded to whole
// 8-byte blocks) as the lock and unlock jobs write and read it, whatever protects it on disk.

#include <cstdint>

#include "../base/name_encoding.h"

class EntryWriter {
public:
    virtual ~EntryWriter() = default;
    // Free space of at least `bytes` (a multiple of 8; written out first when needed), or null
    // when the write fails. *available (when given): how much is free, a multiple of 8.
    virtual uint8_t* Room(uint32_t bytes, uint32_t* available) = 0;
    // Takes the `length` plaintext bytes placed at Room(), zero-padded to whole blocks.
    virtual void Seal(uint32_t length) = 0;
    // Writes out everything taken and waits until it is written; false (with the system's
    // error) when a write failed.
    virtual bool Finish() = 0;
    // Bytes of the entry stream taken so far.
    virtual uint64_t Count() const = 0;
};

class EntryReader {
public:
    virtual ~EntryReader() = default;
    enum Result { OK, END, SHORT, FAILED };
    // The next `length` bytes of the entry stream (a multiple of 8, at most the reader's
    // capacity), with *data pointing at them. END: the stream ended before any of them; SHORT:
    // it ended in the middle, or what protects it is damaged; FAILED: reading failed (the
    // system's error says why).
    virtual Result Take(uint32_t length, const uint8_t** data) = 0;
    // Bytes of the entry stream taken so far.
    virtual uint64_t Count() const = 0;
    // How the names of this stream's entries are encoded, as the container's format says.
    virtual NameEncoding EntryNames() const { return NameEncoding::ANSI; }
};
