#include "password_verifier.h"

#include "cng_crypto.h"

namespace {

bool Derive(const char* password, const std::string& salt, uint8_t verifier[PASSWORD_VERIFIER_SIZE])
{
    return DerivePbkdf2Sha256(password, reinterpret_cast<const uint8_t*>(salt.data()),
                              uint32_t(salt.size()), PASSWORD_ITERATIONS, verifier,
                              PASSWORD_VERIFIER_SIZE);
}

}  // namespace

bool MakePasswordVerifier(const char* password, const uint8_t salt[PASSWORD_SALT_SIZE],
                          uint8_t verifier[PASSWORD_VERIFIER_SIZE])
{
    std::string salted = "Orvella password verifier 2";
    salted.append(reinterpret_cast<const char*>(salt), PASSWORD_SALT_SIZE);
    return Derive(password, salted, verifier);
}

bool MakeEarlierPasswordVerifier(const char* password, uint32_t id, const std::string& valueName,
                                 uint8_t verifier[PASSWORD_VERIFIER_SIZE])
{
    std::string salt = "Orvella password verifier";
    for (int i = 0; i < 4; ++i)
        salt += char(id >> (8 * i));
    salt += valueName;
    return Derive(password, salt, verifier);
}
