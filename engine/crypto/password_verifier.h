#pragma once
// The slow password verifier a vault whose contents are encrypted with its password keeps in its
// record's digest bytes: PBKDF2-HMAC-SHA256 with STRONG_ITERATIONS iterations, so that a guess
// costs as much as the container's own derivation. Its salt is 16 random bytes, new with every
// password and kept beside the record (VaultSeals). Vaults made before that was so are salted
// with their id and value name; they keep verifying, and take a random salt with their next
// password.

#include <cstdint>
#include <string>

enum {
    PASSWORD_VERIFIER_SIZE = 16,
    PASSWORD_SALT_SIZE = 16,
    // PBKDF2 iterations of every derivation from a password: the verifier's, and a strong
    // container's key (so a guess against either costs the same).
    PASSWORD_ITERATIONS = 600000,
};

// False only when the platform's cryptography fails.
bool MakePasswordVerifier(const char* password, const uint8_t salt[PASSWORD_SALT_SIZE],
                          uint8_t verifier[PASSWORD_VERIFIER_SIZE]);
// The verifier of a vault made before salts were random.
bool MakeEarlierPasswordVerifier(const char* password, uint32_t id, const std::string& valueName,
                                 uint8_t verifier[PASSWORD_VERIFIER_SIZE]);
