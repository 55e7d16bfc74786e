#pragma once
// Reading a container's entry stream one entry at a time, as every job that walks it reads it:
// each entry's header and name, checked, before whatever the job does with the entry. The name is
// checked in the encoding the reader says its stream uses, so a format with other names changes
// its reader, not the walk.

#include <cstdint>
#include <string>

#include "container_format.h"
#include "entry_stream.h"

// What reading the head (header and name) of the next entry found.
enum class EntryHeadResult {
    OK,
    END,            // the stream ends where an entry would begin: it is complete
    SHORT_HEADER,   // the stream ends within the header, or what protects it is damaged there
    BAD_TYPE,       // the header's type is not ENTRY_TYPE
    NAME_TOO_LONG,  // the header gives a name longer than MAX_ENTRY_NAME_LENGTH
    SHORT_NAME,     // the stream ends within the name, or what protects it is damaged there
    UNSAFE_NAME,    // a name that would leave the vault's folder, or that Windows would change
    READ_FAILED,    // reading failed; the system's error says why
};

struct EntryHead {
    uint64_t offset = 0;  // of the header, in the entry stream
    EntryHeader header;   // as decoded, also when it is refused
    std::string name;     // the name's bytes as stored, once read
    EntryNameEncoding encoding = EntryNameEncoding::ANSI;
};

// Reads the next entry's header and name from `reader`. With OK the reader stands at the
// entry's contents (a file's PaddedSize(header.size) bytes; none for a folder).
EntryHeadResult ReadEntryHead(EntryReader& reader, EntryHead* head);

// True when a name read from a container, in `encoding`, can be restored under the vault's
// folder as it is (IsSafeRelativeName).
bool IsSafeEntryName(const std::string& name, EntryNameEncoding encoding);

// A name from a container as a message can show it: at most 100 bytes, with control characters
// as '?' (a zero would end the message there, a line break pass for one of ours).
std::string ShownEntryName(const std::string& name, EntryNameEncoding encoding);
