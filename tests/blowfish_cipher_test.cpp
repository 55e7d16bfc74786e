#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/crypto/blowfish_cipher.h"

namespace {

using Bytes = std::vector<uint8_t>;

class BlowfishTest : public ::testing::Test {
protected:
    void SetUp() override { cipher.SetKey("", 0); }

    Bytes EncryptAll(const Bytes& plain)
    {
        Bytes out(cipher.EncryptedSize(uint32_t(plain.size())) + 8, 0xEE);
        uint32_t count = 0;
        EXPECT_TRUE(cipher.Encrypt(plain.data(), uint32_t(plain.size()), out.data(),
                                   uint32_t(out.size()), &count));
        out.resize(count);
        return out;
    }

    BlowfishCipher cipher;
};

}  // namespace

TEST(BlowfishTables, AreTheFractionalDigitsOfPi)
{
    EXPECT_EQ(BlowfishCipher::kInitialTables[0], 0x243F6A88u);     // P[0]
    EXPECT_EQ(BlowfishCipher::kInitialTables[17], 0x8979FB1Bu);    // P[17]
    EXPECT_EQ(BlowfishCipher::kInitialTables[18], 0xD1310BA6u);    // S1[0]
    EXPECT_EQ(BlowfishCipher::kInitialTables[1041], 0x3AC372E6u);  // S4[255]
}

TEST_F(BlowfishTest, KnownCiphertexts)
{
    // These values pin the variant round function, little-endian halves, zero padding and the
    // key setup without key mixing: the textbook cipher gives different bytes for each.
    EXPECT_EQ(EncryptAll(Bytes(8, 0)), (Bytes{0x8a, 0xb9, 0x3e, 0x01, 0xea, 0xef, 0x0d, 0xcf}));
    EXPECT_EQ(EncryptAll(Bytes{'a', 'b', 'c'}),
              (Bytes{0xd5, 0xa0, 0xd0, 0xae, 0xf7, 0x98, 0x52, 0x56}));
}

TEST_F(BlowfishTest, SizesRoundToWholeBlocks)
{
    const uint32_t encrypted[][2] = {{0, 0}, {1, 8}, {8, 8}, {9, 16}, {24, 24}, {32769, 32776}};
    for (auto& c : encrypted)
        EXPECT_EQ(cipher.EncryptedSize(c[0]), c[1]) << c[0];
    const uint32_t decrypted[][2] = {{15, 8}, {16, 16}, {7, 0}, {32768, 32768}};
    for (auto& c : decrypted)
        EXPECT_EQ(cipher.DecryptedSize(c[0]), c[1]) << c[0];
}

TEST_F(BlowfishTest, EncryptReportsThePaddedSizeAndRefusesASmallOutput)
{
    uint8_t in[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    uint8_t out[8];
    std::memset(out, 0xAB, sizeof(out));
    uint32_t count = 0;
    EXPECT_FALSE(cipher.Encrypt(in, 9, out, 8, &count));
    EXPECT_EQ(count, 16u);
    EXPECT_EQ(out[0], 0xAB) << "nothing is written when the output is too small";

    EXPECT_TRUE(cipher.Encrypt(in, 0, out, 0, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(out[0], 0xAB);
}

TEST_F(BlowfishTest, KeysDoNotChangeTheState)
{
    Bytes plain{'s', 'e', 'c', 'r', 'e', 't', '!', '?', 'x'};
    Bytes reference = EncryptAll(plain);
    const char* keys[] = {"", "a", "0123456789012345678901234567890123456789012345678901234"};
    for (const char* key : keys) {
        BlowfishCipher other;
        other.SetKey(key, uint32_t(std::strlen(key)));
        Bytes out(16);
        ASSERT_TRUE(other.Encrypt(plain.data(), 9, out.data(), 16));
        EXPECT_EQ(out, reference) << key;
    }
}

TEST_F(BlowfishTest, BlocksAreIndependentAndRoundTripInPlace)
{
    // Six blocks: four go through the interleaved path, two through the single-block one.
    Bytes plain(5 * 8 + 3);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = uint8_t(i * 31 + 7);
    std::memcpy(&plain[24], &plain[0], 8);  // blocks 0 and 3 are equal

    Bytes buffer(48, 0xCC);
    std::memcpy(buffer.data(), plain.data(), plain.size());
    uint32_t count = 0;
    ASSERT_TRUE(cipher.Encrypt(buffer.data(), uint32_t(plain.size()), buffer.data(), 48, &count));
    EXPECT_EQ(count, 48u);
    EXPECT_EQ(0, std::memcmp(&buffer[0], &buffer[24], 8));
    for (size_t block = 0; block < 6; ++block) {
        Bytes single(plain.begin() + block * 8,
                     plain.begin() + std::min(plain.size(), block * 8 + 8));
        EXPECT_EQ(EncryptAll(single), Bytes(buffer.begin() + block * 8, buffer.begin() + block * 8 + 8))
            << "block " << block;
    }

    ASSERT_TRUE(cipher.Decrypt(buffer.data(), 48, buffer.data(), 48, &count));
    EXPECT_EQ(count, 48u);
    Bytes expected = plain;
    expected.resize(48, 0);  // padding stays
    EXPECT_EQ(buffer, expected);
}

TEST_F(BlowfishTest, DecryptStopsAtTheFirstBlockThatDoesNotFit)
{
    Bytes cipherText = EncryptAll(Bytes(24, 0x5A));
    Bytes out(20, 0);
    uint32_t count = 99;
    EXPECT_TRUE(cipher.Decrypt(cipherText.data(), 24, out.data(), 20, &count));
    EXPECT_EQ(count, 16u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 16), Bytes(16, 0x5A));
    EXPECT_EQ(out[16], 0) << "the block that does not fit is left alone";
}
