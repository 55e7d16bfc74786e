#pragma once
// The Blowfish-family cipher of the vault containers. It differs from textbook Blowfish in two
// ways that every container depends on: the round function adds S3 and S4 before combining
// (F = (S1[a] + S2[b]) ^ (S3[c] + S4[d])), and key setup expands the initial tables without
// mixing in the key. Halves are read little-endian. Access to a vault is guarded by its password
// digest, not by this cipher. The state lives inside the object; no call allocates.

#include "block_cipher.h"

class BlowfishCipher final : public BlockCipher {
public:
    bool SetKey(const void* key, uint32_t keyLength) override;
    bool Encrypt(const void* input, uint32_t inLength, void* output, uint32_t capacity,
                 uint32_t* outCount = nullptr) override;
    bool Decrypt(const void* input, uint32_t inLength, void* output, uint32_t capacity,
                 uint32_t* outCount = nullptr) override;
    uint32_t EncryptedSize(uint32_t n) const override { return (n + 7) & ~7u; }
    uint32_t DecryptedSize(uint32_t n) const override { return n & ~7u; }

    // The standard Blowfish initial P-array (18 words) and S-boxes (4 x 256 words):
    // the fractional hexadecimal digits of pi.
    static const uint32_t kInitialTables[18 + 4 * 256];

private:
    void EncryptHalves(uint32_t& left, uint32_t& right) const;
    void EncryptBlocks(uint8_t* data, uint32_t length) const;
    void DecryptBlocks(uint8_t* data, uint32_t length) const;

    uint32_t p_[18];
    uint32_t s_[4][256];
};
