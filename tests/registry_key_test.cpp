#include <gtest/gtest.h>

#include "engine/base/registry_key.h"
#include "scratch.h"

namespace {

class RegistryKeyTest : public ::testing::Test {
protected:
    RegistryKeyTest() { key.Open("Settings", scratch.Handle()); }

    // Stores raw bytes with a type of our choosing, bypassing the wrapper.
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.GetHandle(), name, 0, type,
                                                static_cast<const BYTE*>(data), size));
    }

    DWORD RawSize(const char* name)
    {
        DWORD size = 0;
        RegQueryValueExA(key.GetHandle(), name, nullptr, nullptr, nullptr, &size);
        return size;
    }

    ScratchKey scratch;
    CRegistryKey key;
};

}  // namespace

TEST_F(RegistryKeyTest, DwordsRoundTripAndMissingOnesGiveTheDefault)
{
    EXPECT_EQ(key.ReadDword("Missing", 0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_NE(LastStatus, ERROR_SUCCESS);
    EXPECT_TRUE(key.WriteDword("Number", 42));
    EXPECT_EQ(key.ReadDword("Number", 7), 42u);
    EXPECT_EQ(LastStatus, ERROR_SUCCESS);
}

TEST_F(RegistryKeyTest, StringsStoreTheirTerminatorAndReadBackBySizeMinusOne)
{
    EXPECT_TRUE(key.WriteString("Text", "hello"));
    EXPECT_EQ(RawSize("Text"), 6u);
    EXPECT_EQ(key.ReadString("Text", "default"), "hello");

    EXPECT_EQ(key.ReadString("Missing", "default"), "default");

    SetRaw("Empty", REG_SZ, "", 1);
    EXPECT_EQ(key.ReadString("Empty", "default"), "");

    SetRaw("ZeroSize", REG_SZ, "", 0);
    EXPECT_EQ(key.ReadString("ZeroSize", "default"), "default");

    SetRaw("Unterminated", REG_BINARY, "abcd", 4);
    EXPECT_EQ(key.ReadString("Unterminated", "default"), "abc")
        << "data without a terminator loses its last character";
}

TEST_F(RegistryKeyTest, BinaryReportsTheSizeAndFailsWhenTheBufferIsSmall)
{
    const char data[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_TRUE(key.WriteBinary("Blob", data, sizeof(data)));

    char buffer[16] = {};
    DWORD size = 0;
    EXPECT_EQ(key.ReadBinary("Blob", buffer, sizeof(buffer), &size), buffer);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(0, memcmp(buffer, data, 10));

    char small[4];
    size = 0;
    EXPECT_EQ(key.ReadBinary("Blob", small, sizeof(small), &size), nullptr);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(LastStatus, ERROR_MORE_DATA);

    EXPECT_EQ(key.ReadBinary("Missing", buffer, sizeof(buffer)), nullptr);
}

TEST_F(RegistryKeyTest, DeleteValueRemovesIt)
{
    key.WriteDword("Gone", 1);
    EXPECT_TRUE(key.DeleteValue("Gone"));
    EXPECT_EQ(key.ReadDword("Gone", 5), 5u);
    EXPECT_FALSE(key.DeleteValue("Gone"));
}

TEST_F(RegistryKeyTest, OpeningAnExistingKeyKeepsItsValues)
{
    key.WriteString("Kept", "yes");
    CRegistryKey again("Settings", scratch.Handle());
    EXPECT_EQ(again.ReadString("Kept", "no"), "yes");

    CRegistryKey fresh("Fresh", scratch.Handle());
    ASSERT_NE(fresh.GetHandle(), nullptr);
    DWORD values = 99;
    RegQueryInfoKeyA(fresh.GetHandle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &values, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(values, 0u);
}

TEST(RegistryKeyUnopened, EveryOperationFails)
{
    CRegistryKey key;
    char buffer[4];
    EXPECT_EQ(key.ReadDword("x", 17), 17u);
    EXPECT_EQ(key.ReadString("x", "d"), "d");
    EXPECT_EQ(key.ReadBinary("x", buffer, sizeof(buffer)), nullptr);
    EXPECT_FALSE(key.WriteDword("x", 1));
    EXPECT_FALSE(key.WriteString("x", "t"));
    EXPECT_FALSE(key.WriteBinary("x", buffer, sizeof(buffer)));
    EXPECT_FALSE(key.DeleteValue("x"));
    EXPECT_NE(LastStatus, ERROR_SUCCESS);
}
