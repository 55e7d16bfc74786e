#pragma once
// The slow password verifier a vault whose contents are encrypted with its password keeps in its
// record's digest bytes: PBKDF2-HMAC-SHA256 with STRONG_ITERATIONS iterations, salted with the
// vault's id and value name, so that a guess costs as much as the container's own derivation and
// no two vaults share a verifier for one password.

#include <cstdint>
#include <string>

enum { PASSWORD_VERIFIER_SIZE = 16 };

// False only when the platform's cryptography fails.
bool MakePasswordVerifier(const char* password, uint32_t id, const std::string& valueName,
                          uint8_t verifier[PASSWORD_VERIFIER_SIZE]);
