#include "entry_head.h"

#include <windows.h>

#include "../names/vault_name.h"

namespace {

EntryHeadResult ShortOr(EntryReader::Result read, EntryHeadResult shortResult)
{
    return read == EntryReader::FAILED ? EntryHeadResult::READ_FAILED : shortResult;
}

}  // namespace

EntryHeadResult ReadEntryHead(EntryReader& reader, NameEncoding wanted, EntryHead* head)
{
    NameEncoding stream = reader.EntryNames();
    head->offset = reader.Count();
    head->encoding = stream;
    head->name.clear();
    const uint8_t* data = nullptr;
    EntryReader::Result read = reader.Take(ENTRY_HEADER_SIZE, &data);
    if (read == EntryReader::END)
        return EntryHeadResult::END;
    if (read != EntryReader::OK)
        return ShortOr(read, EntryHeadResult::SHORT_HEADER);
    head->header = DecodeEntryHeader(data);
    if (head->header.type != ENTRY_TYPE)
        return EntryHeadResult::BAD_TYPE;
    if (head->header.nameLength > MAX_ENTRY_NAME_LENGTH)
        return EntryHeadResult::NAME_TOO_LONG;
    read = reader.Take(uint32_t(PaddedSize(head->header.nameLength)), &data);
    if (read != EntryReader::OK)
        return ShortOr(read, EntryHeadResult::SHORT_NAME);
    std::string bytes(reinterpret_cast<const char*>(data), head->header.nameLength);
    // The classic names are taken as they are, as they always were; UTF-8 only as valid text.
    if (stream == NameEncoding::ANSI && wanted == NameEncoding::ANSI) {
        head->name = bytes;
    } else if (!RecodeName(bytes, stream, wanted, &head->name)) {
        head->name = bytes;
        return EntryHeadResult::BAD_NAME;
    }
    head->encoding = wanted;
    if (!IsSafeRelativeName(head->name, wanted))
        return EntryHeadResult::UNSAFE_NAME;
    return EntryHeadResult::OK;
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

std::string ShownEntryName(const std::string& name, NameEncoding encoding)
{
    size_t end = name.size() < 100 ? name.size() : 100;
    if (encoding == NameEncoding::UTF8)
        while (end < name.size() && end > 0 &&
               (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
            --end;
    std::string shown = name.substr(0, end);
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 32)
            c = '?';
    return shown;
}
