#pragma once
// The platform's cryptography (CNG, bcrypt.dll) as the strong vaults use it: PBKDF2-HMAC-SHA256,
// AES-256-GCM and the system's random numbers. Nothing here is a cipher or hash of our own.
// All results are success flags.

#include <windows.h>

#include <cstdint>

enum { AES_KEY_SIZE = 32, GCM_NONCE_SIZE = 12, GCM_TAG_SIZE = 16 };

// Fills `length` bytes from the system's random number generator.
bool RandomBytes(uint8_t* out, uint32_t length);

// PBKDF2-HMAC-SHA256 of the password (without its terminator) and the salt.
bool DerivePbkdf2Sha256(const char* password, const uint8_t* salt, uint32_t saltLength,
                        uint32_t iterations, uint8_t* out, uint32_t outLength);

// One AES-256 key in GCM mode. Seal and Open may not work in place: `in` and `out` differ.
class AesGcmKey {
public:
    AesGcmKey() = default;
    ~AesGcmKey();
    AesGcmKey(const AesGcmKey&) = delete;
    AesGcmKey& operator=(const AesGcmKey&) = delete;

    bool SetKey(const uint8_t key[AES_KEY_SIZE]);
    // Encrypts `length` bytes of `in` into `out` and gives the tag over them and `aad`.
    bool Seal(const uint8_t nonce[GCM_NONCE_SIZE], const uint8_t* aad, uint32_t aadLength,
              const uint8_t* in, uint32_t length, uint8_t* out, uint8_t tag[GCM_TAG_SIZE]) const;
    // Decrypts and checks the tag; false when anything was changed (nothing in `out` may then
    // be used).
    bool Open(const uint8_t nonce[GCM_NONCE_SIZE], const uint8_t* aad, uint32_t aadLength,
              const uint8_t* in, uint32_t length, uint8_t* out,
              const uint8_t tag[GCM_TAG_SIZE]) const;

private:
    void Release();

    void* algorithm_ = nullptr;  // BCRYPT_ALG_HANDLE
    void* key_ = nullptr;        // BCRYPT_KEY_HANDLE
};
