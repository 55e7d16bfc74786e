#include "cng_crypto.h"

#include <bcrypt.h>

#include <cstring>

namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO ModeInfo(const uint8_t* nonce, const uint8_t* aad,
                                               uint32_t aadLength, uint8_t* tag)
{
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
    BCRYPT_INIT_AUTH_MODE_INFO(info);
    info.pbNonce = const_cast<uint8_t*>(nonce);
    info.cbNonce = GCM_NONCE_SIZE;
    info.pbAuthData = const_cast<uint8_t*>(aad);
    info.cbAuthData = aadLength;
    info.pbTag = tag;
    info.cbTag = GCM_TAG_SIZE;
    return info;
}

}  // namespace

bool RandomBytes(uint8_t* out, uint32_t length)
{
    return Succeeded(BCryptGenRandom(nullptr, out, length, BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

bool DerivePbkdf2Sha256(const char* password, const uint8_t* salt, uint32_t saltLength,
                        uint32_t iterations, uint8_t* out, uint32_t outLength)
{
    BCRYPT_ALG_HANDLE hmac = nullptr;
    if (!Succeeded(BCryptOpenAlgorithmProvider(&hmac, BCRYPT_SHA256_ALGORITHM, nullptr,
                                               BCRYPT_ALG_HANDLE_HMAC_FLAG)))
        return false;
    NTSTATUS status = BCryptDeriveKeyPBKDF2(
        hmac, reinterpret_cast<PUCHAR>(const_cast<char*>(password)), ULONG(std::strlen(password)),
        const_cast<PUCHAR>(salt), saltLength, iterations, out, outLength, 0);
    BCryptCloseAlgorithmProvider(hmac, 0);
    return Succeeded(status);
}

AesGcmKey::~AesGcmKey() { Release(); }

void AesGcmKey::Release()
{
    if (key_)
        BCryptDestroyKey(key_);
    if (algorithm_)
        BCryptCloseAlgorithmProvider(algorithm_, 0);
    key_ = algorithm_ = nullptr;
}

bool AesGcmKey::SetKey(const uint8_t key[AES_KEY_SIZE])
{
    Release();
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_AES_ALGORITHM, nullptr, 0)))
        return false;
    algorithm_ = algorithm;
    BCRYPT_KEY_HANDLE handle = nullptr;
    if (!Succeeded(BCryptSetProperty(algorithm, BCRYPT_CHAINING_MODE,
                                     reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(
                                         BCRYPT_CHAIN_MODE_GCM)),
                                     sizeof(BCRYPT_CHAIN_MODE_GCM), 0)) ||
        !Succeeded(BCryptGenerateSymmetricKey(algorithm, &handle, nullptr, 0,
                                              const_cast<PUCHAR>(key), AES_KEY_SIZE, 0))) {
        Release();
        return false;
    }
    key_ = handle;
    return true;
}

bool AesGcmKey::Seal(const uint8_t nonce[GCM_NONCE_SIZE], const uint8_t* aad, uint32_t aadLength,
                     const uint8_t* in, uint32_t length, uint8_t* out,
                     uint8_t tag[GCM_TAG_SIZE]) const
{
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = ModeInfo(nonce, aad, aadLength, tag);
    ULONG done = 0;
    return key_ && Succeeded(BCryptEncrypt(key_, const_cast<PUCHAR>(in), length, &info, nullptr,
                                           0, out, length, &done, 0)) &&
           done == length;
}

bool AesGcmKey::Open(const uint8_t nonce[GCM_NONCE_SIZE], const uint8_t* aad, uint32_t aadLength,
                     const uint8_t* in, uint32_t length, uint8_t* out,
                     const uint8_t tag[GCM_TAG_SIZE]) const
{
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info =
        ModeInfo(nonce, aad, aadLength, const_cast<uint8_t*>(tag));
    ULONG done = 0;
    return key_ && Succeeded(BCryptDecrypt(key_, const_cast<PUCHAR>(in), length, &info, nullptr,
                                           0, out, length, &done, 0)) &&
           done == length;
}
