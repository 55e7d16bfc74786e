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

// Two independent blocks advance together so their table lookups overlap.
#define ROUND2(x, y, x2, y2, i) \
    ROUND(x, y, i);             \
    ROUND(x2, y2, i)

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

void BlowfishCipher::EncryptBlocks(uint8_t* data, uint32_t length) const
{
    uint32_t i = 0;
    for (; i + 16 <= length; i += 16) {
        uint32_t l = Load(data + i) ^ p_[0], r = Load(data + i + 4);
        uint32_t l2 = Load(data + i + 8) ^ p_[0], r2 = Load(data + i + 12);
        for (int k = 1; k <= 16; k += 2) {
            ROUND2(r, l, r2, l2, k);
            ROUND2(l, r, l2, r2, k + 1);
        }
        Store(r ^ p_[17], data + i);
        Store(l, data + i + 4);
        Store(r2 ^ p_[17], data + i + 8);
        Store(l2, data + i + 12);
    }
    if (i < length) {
        uint32_t l = Load(data + i), r = Load(data + i + 4);
        EncryptHalves(l, r);
        Store(l, data + i);
        Store(r, data + i + 4);
    }
}

void BlowfishCipher::DecryptBlocks(uint8_t* data, uint32_t length) const
{
    uint32_t i = 0;
    for (; i + 16 <= length; i += 16) {
        uint32_t l = Load(data + i) ^ p_[17], r = Load(data + i + 4);
        uint32_t l2 = Load(data + i + 8) ^ p_[17], r2 = Load(data + i + 12);
        for (int k = 16; k >= 1; k -= 2) {
            ROUND2(r, l, r2, l2, k);
            ROUND2(l, r, l2, r2, k - 1);
        }
        Store(r ^ p_[0], data + i);
        Store(l, data + i + 4);
        Store(r2 ^ p_[0], data + i + 8);
        Store(l2, data + i + 12);
    }
    if (i < length) {
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
