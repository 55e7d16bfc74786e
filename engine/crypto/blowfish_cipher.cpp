#include "blowfish_cipher.h"

#include <cstring>

namespace {

inline uint32_t Load(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);  // little-endian on every target of this program
    return v;
}

inline void Store(uint32_t v, uint8_t* p) { std::memcpy(p, &v, 4); }

}  // namespace

// One round: x ^= F(y) ^ P[i].
#define ROUND(x, y, i)                                                                      \
    x ^= ((s_[0][(y) >> 24] + s_[1][((y) >> 16) & 0xff]) ^                                 \
          (s_[2][((y) >> 8) & 0xff] + s_[3][(y) & 0xff])) ^ p_[i]

bool BlowfishCipher::SetKey(const void*, uint32_t)
{
    std::memcpy(p_, kInitialTables, sizeof(p_));
    std::memcpy(s_, kInitialTables + 18, sizeof(s_));
    uint32_t left = 0, right = 0;
    for (int i = 0; i < 18; i += 2) {
        EncryptHalves(left, right);
        p_[i] = left;
        p_[i + 1] = right;
    }
    for (int box = 0; box < 4; ++box) {
        for (int i = 0; i < 256; i += 2) {
            EncryptHalves(left, right);
            s_[box][i] = left;
            s_[box][i + 1] = right;
        }
    }
    return true;
}

void BlowfishCipher::EncryptHalves(uint32_t& left, uint32_t& right) const
{
    uint32_t l = left ^ p_[0], r = right;
    for (int i = 1; i <= 16; i += 2) {
        ROUND(r, l, i);
        ROUND(l, r, i + 1);
    }
    left = r ^ p_[17];
    right = l;
}

// Four independent blocks advance round by round together, so their table lookups overlap;
// the rounds are unrolled so every P word is a fixed offset.
#define ROUND4(x, y, i)                                                                      \
    ROUND(x##0, y##0, i);                                                                    \
    ROUND(x##1, y##1, i);                                                                    \
    ROUND(x##2, y##2, i);                                                                    \
    ROUND(x##3, y##3, i)

#define LOAD4(first)                                                                         \
    uint32_t l0 = Load(data + i) ^ p_[first], r0 = Load(data + i + 4);                       \
    uint32_t l1 = Load(data + i + 8) ^ p_[first], r1 = Load(data + i + 12);                  \
    uint32_t l2 = Load(data + i + 16) ^ p_[first], r2 = Load(data + i + 20);                 \
    uint32_t l3 = Load(data + i + 24) ^ p_[first], r3 = Load(data + i + 28)

#define STORE4(last)                                                                         \
    Store(r0 ^ p_[last], data + i), Store(l0, data + i + 4);                                 \
    Store(r1 ^ p_[last], data + i + 8), Store(l1, data + i + 12);                            \
    Store(r2 ^ p_[last], data + i + 16), Store(l2, data + i + 20);                           \
    Store(r3 ^ p_[last], data + i + 24), Store(l3, data + i + 28)

void BlowfishCipher::EncryptBlocks(uint8_t* data, uint32_t length) const
{
    uint32_t i = 0;
    for (; i + 32 <= length; i += 32) {
        LOAD4(0);
        ROUND4(r, l, 1); ROUND4(l, r, 2); ROUND4(r, l, 3); ROUND4(l, r, 4);
        ROUND4(r, l, 5); ROUND4(l, r, 6); ROUND4(r, l, 7); ROUND4(l, r, 8);
        ROUND4(r, l, 9); ROUND4(l, r, 10); ROUND4(r, l, 11); ROUND4(l, r, 12);
        ROUND4(r, l, 13); ROUND4(l, r, 14); ROUND4(r, l, 15); ROUND4(l, r, 16);
        STORE4(17);
    }
    for (; i < length; i += 8) {
        uint32_t l = Load(data + i), r = Load(data + i + 4);
        EncryptHalves(l, r);
        Store(l, data + i);
        Store(r, data + i + 4);
    }
}

void BlowfishCipher::DecryptBlocks(uint8_t* data, uint32_t length) const
{
    uint32_t i = 0;
    for (; i + 32 <= length; i += 32) {
        LOAD4(17);
        ROUND4(r, l, 16); ROUND4(l, r, 15); ROUND4(r, l, 14); ROUND4(l, r, 13);
        ROUND4(r, l, 12); ROUND4(l, r, 11); ROUND4(r, l, 10); ROUND4(l, r, 9);
        ROUND4(r, l, 8); ROUND4(l, r, 7); ROUND4(r, l, 6); ROUND4(l, r, 5);
        ROUND4(r, l, 4); ROUND4(l, r, 3); ROUND4(r, l, 2); ROUND4(l, r, 1);
        STORE4(0);
    }
    for (; i < length; i += 8) {
        uint32_t l = Load(data + i) ^ p_[17], r = Load(data + i + 4);
        for (int k = 16; k >= 1; k -= 2) {
            ROUND(r, l, k);
            ROUND(l, r, k - 1);
        }
        Store(r ^ p_[0], data + i);
        Store(l, data + i + 4);
    }
}

bool BlowfishCipher::Encrypt(const void* input, uint32_t inLength, void* output,
                             uint32_t capacity, uint32_t* outCount)
{
    uint32_t padded = EncryptedSize(inLength);
    if (outCount)
        *outCount = padded;
    if (capacity < padded)
        return false;
    uint8_t* out = static_cast<uint8_t*>(output);
    if (input != output)
        std::memmove(out, input, inLength);
    std::memset(out + inLength, 0, padded - inLength);
    EncryptBlocks(out, padded);
    return true;
}

bool BlowfishCipher::Decrypt(const void* input, uint32_t inLength, void* output,
                             uint32_t capacity, uint32_t* outCount)
{
    // Only whole blocks that lie inside the input and fit the output are processed.
    uint32_t length = DecryptedSize(inLength < capacity ? inLength : capacity);
    uint8_t* out = static_cast<uint8_t*>(output);
    if (input != output)
        std::memmove(out, input, length);
    DecryptBlocks(out, length);
    if (outCount)
        *outCount = length;
    return true;
}
