#pragma once
// The head of one entry of an entry stream (its header and its relative name), read and written
// in one place for every container, so that whatever reads a stream (an unlock, a check, a
// conversion) takes its names in the encoding the container holds them in: ANSI in the classic
// container and in strong containers before version 3, UTF-8 from then on
// (StrongEntryNameEncoding).

#include <string>

#include "../base/name_encoding.h"
#include "container_format.h"
#include "entry_stream.h"

enum class EntryHeadRead {
    OK,
    END,        // the stream ended where an entry could begin
    DAMAGED,    // cut short, a wrong type or name length, a segment that fails its tag
    FAILED,     // reading failed; the system's error says why
    BAD_NAME,   // the name is not text in the stream's encoding (*name holds its bytes)
};

// Reads the next entry's header and name; *name is in `wanted`, converted from `stream`, the
// encoding of the stream's names.
EntryHeadRead ReadEntryHead(EntryReader& reader, NameEncoding stream, NameEncoding wanted,
                            EntryHeader* header, std::string* name);

// Writes an entry's header and its name, which is in the stream's encoding already; false when
// the write fails (the system's error says why).
bool WriteEntryHead(EntryWriter& writer, const EntryHeader& header, const std::string& name);
