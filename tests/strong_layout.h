#pragma once
// A strong container read and written from its documented layout alone (the comment in
// engine/container/strong_container.h), never through the engine's own code: what the tests
// check the engine against.

#include <cstdint>
#include <string>

enum : uint32_t { kSegment = 64 * 1024, kSealed = kSegment + 16, kHeader = 116 };

uint32_t U32(const std::string& bytes, size_t at);
const uint8_t* At(const std::string& bytes, size_t at);
std::string LittleEndian(uint32_t value);

// What the content key's tag covers in a header of version 2 or 3: the first 68 bytes, the
// vault's id, the length of its container's name and that name.
std::string BoundPart(const std::string& bytes, uint32_t vaultId, const std::string& name);

// Unwraps the content key of a header of version 2 or 3 for the vault named; false when the
// password or the vault is not the header's.
bool UnwrapContentKey(const std::string& bytes, const char* password, uint32_t vaultId,
                      const std::string& containerName, uint8_t contentKey[32]);

// The entry stream of a strong container of version 2 or 3, opened segment by segment; or
// false.
bool DecodeStrongContainer(const std::string& bytes, const char* password, uint32_t vaultId,
                           const std::string& containerName, std::string* stream);

// The container `bytes` (of version 2 or 3) made anew of `version`, holding `stream` instead:
// the same stream id, salt and content key, the key wrapped again for the new version, the
// segments sealed again. "" when the password does not open it.
std::string WithStream(const std::string& bytes, const char* password, uint32_t vaultId,
                       const std::string& containerName, uint32_t version,
                       const std::string& stream);
