#pragma once
// A block cipher with 8-byte blocks, used in electronic-codebook fashion.
// All sizes are byte counts; all results are success flags.

#include <cstdint>

class BlockCipher {
public:
    virtual ~BlockCipher() = default;

    // Prepares the state; must be called once before Encrypt or Decrypt.
    virtual bool SetKey(const void* key, uint32_t keyLength) = 0;

    // Writes EncryptedSize(inLength) bytes: the input zero-padded to whole blocks, encrypted.
    // *outCount (when given) receives that size before the capacity is checked; a capacity
    // below it returns false without writing. input may equal output (in place): the padding
    // is then written into the buffer after the input.
    virtual bool Encrypt(const void* input, uint32_t inLength, void* output, uint32_t capacity,
                         uint32_t* outCount = nullptr) = 0;

    // Decrypts whole blocks while they lie within the input and fit into the capacity;
    // *outCount receives the number of bytes processed. Padding is not removed.
    virtual bool Decrypt(const void* input, uint32_t inLength, void* output, uint32_t capacity,
                         uint32_t* outCount = nullptr) = 0;

    // n rounded up to a whole number of blocks.
    virtual uint32_t EncryptedSize(uint32_t n) const = 0;
    // n rounded down to a whole number of blocks.
    virtual uint32_t DecryptedSize(uint32_t n) const = 0;
};
