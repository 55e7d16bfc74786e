#include "entry_walk.h"

#include "../names/vault_name.h"

namespace {

EntryHeadResult ShortOr(EntryReader::Result read, EntryHeadResult shortResult)
{
    return read == EntryReader::FAILED ? EntryHeadResult::READ_FAILED : shortResult;
}

}  // namespace

EntryHeadResult ReadEntryHead(EntryReader& reader, EntryHead* head)
{
    head->offset = reader.Count();
    head->encoding = reader.NameEncoding();
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
    head->name.assign(reinterpret_cast<const char*>(data), head->header.nameLength);
    if (!IsSafeEntryName(head->name, head->encoding))
        return EntryHeadResult::UNSAFE_NAME;
    return EntryHeadResult::OK;
}

bool IsSafeEntryName(const std::string& name, EntryNameEncoding)
{
    return IsSafeRelativeName(name);
}

std::string ShownEntryName(const std::string& name, EntryNameEncoding)
{
    std::string shown = name.substr(0, 100);
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 32)
            c = '?';
    return shown;
}
