#include "password_verifier.h"

#include "cng_crypto.h"
#include "strong_container.h"

bool MakePasswordVerifier(const char* password, uint32_t id, const std::string& valueName,
                          uint8_t verifier[PASSWORD_VERIFIER_SIZE])
{
    std::string salt = "Orvella password verifier";
    for (int i = 0; i < 4; ++i)
        salt += char(id >> (8 * i));
    salt += valueName;
    return DerivePbkdf2Sha256(password, reinterpret_cast<const uint8_t*>(salt.data()),
                              uint32_t(salt.size()), STRONG_ITERATIONS, verifier,
                              PASSWORD_VERIFIER_SIZE);
}
