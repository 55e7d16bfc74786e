#include "container_bytes.h"

#include "engine/crypto/blowfish_cipher.h"

namespace {

BlowfishCipher& Cipher()
{
    static BlowfishCipher cipher;
    static bool ready = cipher.SetKey("", 0);
    (void)ready;
    return cipher;
}

}  // namespace

std::string EncryptBlocks(std::string plain)
{
    plain.resize(PaddedSize(plain.size()), '\0');
    Cipher().Encrypt(&plain[0], uint32_t(plain.size()), &plain[0], uint32_t(plain.size()));
    return plain;
}

std::string DecryptBlocks(std::string bytes)
{
    Cipher().Decrypt(&bytes[0], uint32_t(bytes.size()), &bytes[0], uint32_t(bytes.size()));
    return bytes;
}

std::string EntryBytes(const EntryHeader& header, const std::string& name,
                       const std::string& contents)
{
    uint8_t head[ENTRY_HEADER_SIZE];
    EncodeEntryHeader(header, head);
    std::string bytes = EncryptBlocks(std::string(reinterpret_cast<char*>(head), sizeof(head)));
    bytes += EncryptBlocks(name);
    for (size_t at = 0; at < contents.size(); at += CONTENT_CHUNK)
        bytes += EncryptBlocks(contents.substr(at, CONTENT_CHUNK));
    return bytes;
}

ContainerBuilder& ContainerBuilder::Entry(const std::string& name, uint32_t attributes,
                                          const std::string& contents, uint16_t type,
                                          int nameLength)
{
    EntryHeader header;
    header.type = type;
    header.attributes = attributes;
    header.size = contents.size();
    header.nameLength = uint16_t(nameLength < 0 ? name.size() : nameLength);
    bytes += EntryBytes(header, name, contents);
    return *this;
}

bool ReadContainer(const std::string& bytes, std::vector<ContainerEntry>* entries)
{
    entries->clear();
    for (size_t at = 0; at < bytes.size();) {
        ContainerEntry entry;
        entry.offset = at;
        if (bytes.size() - at < ENTRY_HEADER_SIZE)
            return false;
        std::string head = DecryptBlocks(bytes.substr(at, ENTRY_HEADER_SIZE));
        entry.header = DecodeEntryHeader(reinterpret_cast<const uint8_t*>(head.data()));
        at += ENTRY_HEADER_SIZE;
        uint64_t nameBytes = PaddedSize(entry.header.nameLength);
        if (entry.header.type != ENTRY_TYPE || entry.header.nameLength > MAX_ENTRY_NAME_LENGTH ||
            bytes.size() - at < nameBytes)
            return false;
        entry.name = DecryptBlocks(bytes.substr(at, nameBytes)).substr(0, entry.header.nameLength);
        at += nameBytes;
        if (!entry.IsDirectory()) {
            // (The size is compared first: ContentSize wraps around for sizes near 2^64.)
            if (entry.header.size > bytes.size() - at ||
                ContentSize(entry.header.size) > bytes.size() - at)
                return false;
            uint64_t contentBytes = ContentSize(entry.header.size);
            entry.contents =
                DecryptBlocks(bytes.substr(at, contentBytes)).substr(0, entry.header.size);
            at += contentBytes;
        }
        entries->push_back(entry);
    }
    return true;
}
