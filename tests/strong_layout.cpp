#include "strong_layout.h"

#include <algorithm>

#include "engine/crypto/cng_crypto.h"

uint32_t U32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uint8_t(bytes[at + i]);
    return value;
}

const uint8_t* At(const std::string& bytes, size_t at)
{
    return reinterpret_cast<const uint8_t*>(bytes.data()) + at;
}

std::string LittleEndian(uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += char(value >> (8 * i));
    return bytes;
}

std::string BoundPart(const std::string& bytes, uint32_t vaultId, const std::string& name)
{
    return bytes.substr(0, 68) + LittleEndian(vaultId) + LittleEndian(uint32_t(name.size())) +
           name;
}

namespace {

bool WrappingKey(const std::string& bytes, const char* password, AesGcmKey* wrapping)
{
    uint8_t derived[32];
    return DerivePbkdf2Sha256(password, At(bytes, 40), 16, U32(bytes, 16), derived, 32) &&
           wrapping->SetKey(derived);
}

void SegmentNonce(uint64_t number, bool last, uint8_t nonce[12])
{
    std::fill(nonce, nonce + 12, uint8_t(0));
    for (int i = 0; i < 8; ++i)
        nonce[i] = uint8_t(number >> (8 * i));
    nonce[11] = last;
}

}  // namespace

bool UnwrapContentKey(const std::string& bytes, const char* password, uint32_t vaultId,
                      const std::string& containerName, uint8_t contentKey[32])
{
    uint32_t version = bytes.size() < kHeader ? 0 : U32(bytes, 8);
    if (bytes.size() < kHeader || bytes.compare(0, 8, "OVSTRONG") != 0 ||
        (version != 2 && version != 3) || U32(bytes, 12) != 1 || U32(bytes, 20) != kSegment ||
        U32(bytes, 16) < 600000)
        return false;
    AesGcmKey wrapping;
    std::string bound = BoundPart(bytes, vaultId, containerName);
    return WrappingKey(bytes, password, &wrapping) &&
           wrapping.Open(At(bytes, 56), At(bound, 0), uint32_t(bound.size()), At(bytes, 68), 32,
                         contentKey, At(bytes, 100));
}

bool DecodeStrongContainer(const std::string& bytes, const char* password, uint32_t vaultId,
                           const std::string& containerName, std::string* stream)
{
    uint8_t contentKey[32];
    AesGcmKey content;
    if (!UnwrapContentKey(bytes, password, vaultId, containerName, contentKey) ||
        !content.SetKey(contentKey))
        return false;
    stream->clear();
    size_t at = kHeader;
    for (uint64_t number = 0;; ++number) {
        size_t sealed = std::min<size_t>(bytes.size() - at, kSealed);
        if (sealed < 16)
            return false;
        bool last = at + sealed == bytes.size();
        uint8_t nonce[12];
        SegmentNonce(number, last, nonce);
        std::string plain(sealed - 16, '\0');
        if (!content.Open(nonce, At(bytes, 24), 16, At(bytes, at), uint32_t(plain.size()),
                          reinterpret_cast<uint8_t*>(&plain[0]), At(bytes, at + sealed - 16)))
            return false;
        *stream += plain;
        at += sealed;
        if (last)
            return true;
    }
}

std::string WithStream(const std::string& bytes, const char* password, uint32_t vaultId,
                       const std::string& containerName, uint32_t version,
                       const std::string& stream)
{
    uint8_t contentKey[32];
    AesGcmKey wrapping, content;
    if (!UnwrapContentKey(bytes, password, vaultId, containerName, contentKey) ||
        !content.SetKey(contentKey))
        return "";
    std::string made = bytes.substr(0, kHeader);
    made.replace(8, 4, LittleEndian(version));
    std::string bound = BoundPart(made, vaultId, containerName);
    uint8_t* header = reinterpret_cast<uint8_t*>(&made[0]);
    if (!WrappingKey(made, password, &wrapping) ||
        !wrapping.Seal(header + 56, At(bound, 0), uint32_t(bound.size()), contentKey, 32,
                       header + 68, header + 100))
        return "";
    for (uint64_t number = 0, at = 0;; ++number) {
        size_t length = std::min<size_t>(stream.size() - at, kSegment);
        bool last = at + length == stream.size() && length < kSegment;
        uint8_t nonce[12], tag[16];
        SegmentNonce(number, last, nonce);
        std::string sealed(length, '\0');
        if (!content.Seal(nonce, header + 24, 16, At(stream, at), uint32_t(length),
                          reinterpret_cast<uint8_t*>(&sealed[0]), tag))
            return "";
        made += sealed + std::string(reinterpret_cast<char*>(tag), 16);
        header = reinterpret_cast<uint8_t*>(&made[0]);
        at += length;
        if (last)
            return made;
    }
}
