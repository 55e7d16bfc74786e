#pragma once
// MD5 as RFC 1321 defines it. A vault keeps the raw 16-byte digest of its password.
// Needs no Win32, so it also builds natively.

#include <cstdint>

class Md5Digest {
public:
    enum { SIZE = 16 };

    Md5Digest();
    // Starts a digest and feeds it the bytes of text up to, not including, its terminator.
    explicit Md5Digest(const char* text);

    // Feeds more data; a length of zero or less does nothing.
    void Update(const void* data, int32_t length);
    // Appends the padding and the bit count and writes the 16-byte digest.
    void Final(uint8_t digest[SIZE]);

private:
    void Transform(const uint8_t block[64]);

    uint32_t bitCount_[2];  // low, high
    uint32_t state_[4];
    uint8_t buffer_[64];
};
