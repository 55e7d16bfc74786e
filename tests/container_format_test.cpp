#include <gtest/gtest.h>

#include "engine/container/container_format.h"

TEST(ContainerFormat, HeaderFieldsSitAtTheirOffsetsLittleEndian)
{
    EntryHeader header;
    header.attributes = 0x12345621;
    header.size = 0x0000000A0B0C0D0Eull;
    header.nameLength = 0x0309;
    uint8_t bytes[ENTRY_HEADER_SIZE];
    EncodeEntryHeader(header, bytes);
    const uint8_t expected[ENTRY_HEADER_SIZE] = {1, 0, 0, 0, 0x21, 0x56, 0x34, 0x12,
                                                 0x0E, 0x0D, 0x0C, 0x0B, 0x0A, 0, 0, 0,
                                                 0x09, 0x03, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, memcmp(bytes, expected, sizeof(bytes)));

    EntryHeader decoded = DecodeEntryHeader(bytes);
    EXPECT_EQ(decoded.type, 1);
    EXPECT_EQ(decoded.attributes, header.attributes);
    EXPECT_EQ(decoded.size, header.size);
    EXPECT_EQ(decoded.nameLength, header.nameLength);
}

TEST(ContainerFormat, NamesAndContentsTakeWholeBlocksAndChunks)
{
    const uint64_t names[][2] = {{5, 8}, {8, 8}, {9, 16}, {0, 0}};
    for (auto& c : names)
        EXPECT_EQ(PaddedSize(c[0]), c[1]) << c[0];
    const uint64_t contents[][2] = {{0, 0},         {1, 8},         {32767, 32768},
                                    {32768, 32768}, {32769, 32776}, {65537, 65544}};
    for (auto& c : contents)
        EXPECT_EQ(ContentSize(c[0]), c[1]) << c[0];
}
