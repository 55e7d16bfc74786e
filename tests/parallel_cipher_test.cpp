// The container's bytes must not depend on how many threads enciphered them: whatever split
// ParallelCipher makes, its output is what the cipher makes on one thread.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/crypto/blowfish_cipher.h"
#include "engine/crypto/parallel_cipher.h"

TEST(ParallelCipher, MatchesOneThreadAtEverySplit)
{
    BlowfishCipher cipher;
    ASSERT_TRUE(cipher.SetKey("parallel key", 12));
    ParallelCipher parallel(cipher);  // one object for every length: its helper is reused
    // Below the split, at it, halves that are not whole groups of four blocks, and a whole
    // transfer buffer.
    const uint32_t lengths[] = {8, 64 * 1024, 256 * 1024, 256 * 1024 + 8, 1024 * 1024 + 24,
                                2 * 1024 * 1024};
    for (uint32_t length : lengths) {
        SCOPED_TRACE(length);
        std::vector<uint8_t> plain(length);
        for (uint32_t i = 0; i < length; ++i)
            plain[i] = uint8_t(i * 131 + i / 4096);
        std::vector<uint8_t> expected = plain;
        cipher.Encrypt(expected.data(), length, expected.data(), length);

        std::vector<uint8_t> data = plain;
        parallel.Encrypt(data.data(), length);
        EXPECT_EQ(data, expected);
        parallel.Decrypt(data.data(), length);
        EXPECT_EQ(data, plain);
    }
}
