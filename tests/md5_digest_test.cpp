#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/crypto/md5_digest.h"

namespace {

std::string Hex(const uint8_t* bytes, int count)
{
    std::string text;
    char pair[3];
    for (int i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof(pair), "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

std::string DigestOf(const char* text)
{
    uint8_t digest[Md5Digest::SIZE];
    Md5Digest(text).Final(digest);
    return Hex(digest, Md5Digest::SIZE);
}

}  // namespace

TEST(Md5Digest, PassesTheRfc1321TestSuite)
{
    struct Case {
        const char* input;
        const char* digest;
    } const cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DigestOf(c.input), c.digest) << '"' << c.input << '"';
}

TEST(Md5Digest, PiecewiseUpdatesAcrossBlockBoundariesMatchOneUpdate)
{
    std::string data(200, 'x');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);
    uint8_t whole[16], pieces[16];
    Md5Digest one;
    one.Update(data.data(), int32_t(data.size()));
    one.Final(whole);
    Md5Digest many;
    const int cuts[] = {1, 54, 9, 64, 0, -5, 72};
    size_t at = 0;
    for (int cut : cuts) {
        many.Update(data.data() + at, cut);
        if (cut > 0)
            at += cut;
    }
    many.Final(pieces);
    EXPECT_EQ(Hex(whole, 16), Hex(pieces, 16));
}
