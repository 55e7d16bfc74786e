#include "entry_head.h"

#include <windows.h>

namespace {

EntryHeadRead Failed(EntryReader::Result result)
{
    return result == EntryReader::FAILED ? EntryHeadRead::FAILED : EntryHeadRead::DAMAGED;
}

}  // namespace

EntryHeadRead ReadEntryHead(EntryReader& reader, NameEncoding stream, NameEncoding wanted,
                            EntryHeader* header, std::string* name)
{
    const uint8_t* data = nullptr;
    EntryReader::Result read = reader.Take(ENTRY_HEADER_SIZE, &data);
    if (read == EntryReader::END)
        return EntryHeadRead::END;
    if (read != EntryReader::OK)
        return Failed(read);
    *header = DecodeEntryHeader(data);
    if (header->type != ENTRY_TYPE || header->nameLength > MAX_ENTRY_NAME_LENGTH)
        return EntryHeadRead::DAMAGED;
    read = reader.Take(uint32_t(PaddedSize(header->nameLength)), &data);
    if (read != EntryReader::OK)
        return Failed(read);
    std::string bytes(reinterpret_cast<const char*>(data), header->nameLength);
    // The classic names are taken as they are, as they always were; UTF-8 only as valid text.
    if (stream == NameEncoding::ANSI && wanted == NameEncoding::ANSI) {
        *name = bytes;
        return EntryHeadRead::OK;
    }
    if (RecodeName(bytes, stream, wanted, name))
        return EntryHeadRead::OK;
    *name = bytes;
    return EntryHeadRead::BAD_NAME;
}

bool WriteEntryHead(EntryWriter& writer, const EntryHeader& header, const std::string& name)
{
    uint8_t* at = writer.Room(ENTRY_HEADER_SIZE + CONTENT_CHUNK, nullptr);
    if (!at)
        return false;
    EncodeEntryHeader(header, at);
    name.copy(reinterpret_cast<char*>(at + ENTRY_HEADER_SIZE), name.size());
    // The header is whole blocks, so sealing both at once pads only the name.
    writer.Seal(ENTRY_HEADER_SIZE + uint32_t(name.size()));
    return true;
}
