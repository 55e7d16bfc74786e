#pragma once
// Containers made and read byte by byte, straight from the format (container_format.h) and the
// cipher, independently of the engine's streaming code: damaged and hostile ones included.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/container/container_format.h"

// Whole cipher blocks: the bytes zero-padded and encrypted, or decrypted in place.
std::string EncryptBlocks(std::string plain);
std::string DecryptBlocks(std::string cipher);

struct ContainerEntry {
    EntryHeader header;
    std::string name;      // header.nameLength bytes
    std::string contents;  // a file's, header.size bytes
    size_t offset = 0;     // where its header starts in the container
    bool IsDirectory() const { return (header.attributes & 0x10) != 0; }
};

// The encrypted bytes of one entry: its header as given (any field, even one the lock never
// writes), the name, and for a file the contents in chunks.
std::string EntryBytes(const EntryHeader& header, const std::string& name,
                       const std::string& contents);

// Appends entries; the header's size and nameLength follow the data unless given.
class ContainerBuilder {
public:
    ContainerBuilder& Entry(const std::string& name, uint32_t attributes,
                            const std::string& contents, uint16_t type = ENTRY_TYPE,
                            int nameLength = -1);
    std::string bytes;
};

// Reads the entries of a whole container. False when the bytes are none: an entry cut short, a
// header not of type 1, or a name longer than MAX_ENTRY_NAME_LENGTH; *entries then holds the
// entries read before it.
bool ReadContainer(const std::string& bytes, std::vector<ContainerEntry>* entries);
