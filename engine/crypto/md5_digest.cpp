#include "md5_digest.h"

#include <cstring>

namespace {

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t LoadLittleEndian(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void StoreLittleEndian(uint32_t v, uint8_t* p)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// Per-step shift amounts and sine-derived constants of RFC 1321, section 3.4.
const int kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                        5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                        4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                        6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

const uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613,
    0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193,
    0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d,
    0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
    0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122,
    0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa,
    0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244,
    0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb,
    0xeb86d391};

}  // namespace

Md5Digest::Md5Digest()
    : bitCount_{0, 0}, state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476}, buffer_{}
{
}

Md5Digest::Md5Digest(const char* text) : Md5Digest()
{
    Update(text, static_cast<int32_t>(std::strlen(text)));
}

void Md5Digest::Update(const void* data, int32_t length)
{
    if (length <= 0)
        return;
    const uint8_t* input = static_cast<const uint8_t*>(data);
    uint32_t used = (bitCount_[0] >> 3) & 63;
    uint32_t bits = uint32_t(length) << 3;
    bitCount_[0] += bits;
    if (bitCount_[0] < bits)
        ++bitCount_[1];
    bitCount_[1] += uint32_t(length) >> 29;

    uint32_t remaining = uint32_t(length);
    uint32_t room = 64 - used;
    if (remaining >= room) {
        std::memcpy(buffer_ + used, input, room);
        Transform(buffer_);
        input += room;
        remaining -= room;
        for (; remaining >= 64; input += 64, remaining -= 64)
            Transform(input);
        used = 0;
    }
    std::memcpy(buffer_ + used, input, remaining);
}

void Md5Digest::Final(uint8_t digest[SIZE])
{
    uint8_t count[8];
    StoreLittleEndian(bitCount_[0], count);
    StoreLittleEndian(bitCount_[1], count + 4);

    static const uint8_t kPadding[64] = {0x80};
    uint32_t used = (bitCount_[0] >> 3) & 63;
    uint32_t padLength = used < 56 ? 56 - used : 120 - used;
    Update(kPadding, int32_t(padLength));
    Update(count, 8);

    for (int i = 0; i < 4; ++i)
        StoreLittleEndian(state_[i], digest + 4 * i);
}

void Md5Digest::Transform(const uint8_t block[64])
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = LoadLittleEndian(block + 4 * i);

    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (b & d) | (c & ~d);
            g = (5 * i + 1) & 15;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) & 15;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) & 15;
        }
        uint32_t rotated = b + RotateLeft(a + f + kSine[i] + x[g], kShift[i]);
        a = d;
        d = c;
        c = b;
        b = rotated;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}
