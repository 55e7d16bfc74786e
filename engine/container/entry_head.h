#pragma once
// The head of one entry of an entry stream (its header and its relative name), read and written
// in one place for every job that walks a stream (an unlock, a check, a conversion), so that each
// takes the names in the encoding the container holds them in: ANSI in the classic container and
// in strong containers before version 3, UTF-8 from then on (the reader's EntryNames()).

#include <cstdint>
#include <string>

#include "../base/name_encoding.h"
#include "container_format.h"
#include "entry_stream.h"

// What reading the head of the next entry found.
enum class EntryHeadResult {
    OK,
    END,            // the stream ends where an entry would begin: it is complete
    SHORT_HEADER,   // the stream ends within the header, or what protects it is damaged there
    BAD_TYPE,       // the header's type is not ENTRY_TYPE
    NAME_TOO_LONG,  // the header gives a name longer than MAX_ENTRY_NAME_LENGTH
    SHORT_NAME,     // the stream ends within the name, or what protects it is damaged there
    BAD_NAME,       // the name is not text in the stream's encoding, or `wanted` cannot hold it
    UNSAFE_NAME,    // a name that would leave the vault's folder, or that Windows would change
    READ_FAILED,    // reading failed; the system's error says why
};

struct EntryHead {
    uint64_t offset = 0;  // of the header, in the entry stream
    EntryHeader header;   // as decoded, also when it is refused
    // Once read: in `encoding`, the one asked for; with BAD_NAME, the bytes as stored, in the
    // stream's encoding.
    std::string name;
    NameEncoding encoding = NameEncoding::ANSI;
};

// Reads the next entry's header and name from `reader`, the name converted into `wanted`. With
// OK the reader stands at the entry's contents (a file's PaddedSize(header.size) bytes; none for
// a folder).
EntryHeadResult ReadEntryHead(EntryReader& reader, NameEncoding wanted, EntryHead* head);

// Writes an entry's header and its name, which is in the stream's encoding already; false when
// the write fails (the system's error says why).
bool WriteEntryHead(EntryWriter& writer, const EntryHeader& header, const std::string& name);

// A name from a container, in `encoding`, as a message can show it: at most 100 bytes, with
// control characters as '?' (a zero would end the message there, a line break pass for one of
// ours). A UTF-8 name is cut between two characters, never inside one.
std::string ShownEntryName(const std::string& name, NameEncoding encoding);
