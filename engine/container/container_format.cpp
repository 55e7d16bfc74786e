#include "container_format.h"

#include <cstring>

namespace {

void Put16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

uint32_t Get16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Get32(const uint8_t* p) { return Get16(p) | Get16(p + 2) << 16; }

}  // namespace

void EncodeEntryHeader(const EntryHeader& header, uint8_t bytes[ENTRY_HEADER_SIZE])
{
    std::memset(bytes, 0, ENTRY_HEADER_SIZE);
    Put16(bytes, header.type);
    Put32(bytes + 4, header.attributes);
    Put32(bytes + 8, uint32_t(header.size));
    Put32(bytes + 12, uint32_t(header.size >> 32));
    Put16(bytes + 16, header.nameLength);
}

EntryHeader DecodeEntryHeader(const uint8_t bytes[ENTRY_HEADER_SIZE])
{
    EntryHeader header;
    header.type = uint16_t(Get16(bytes));
    header.attributes = Get32(bytes + 4);
    header.size = uint64_t(Get32(bytes + 8)) | uint64_t(Get32(bytes + 12)) << 32;
    header.nameLength = uint16_t(Get16(bytes + 16));
    return header;
}
