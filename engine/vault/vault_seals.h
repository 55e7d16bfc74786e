#pragma once
// What a vault whose contents are encrypted with its password keeps beside its record, in the
// "VaultSeals" key below the application key (the "Vaults" key holds records alone): one subkey
// per vault, named by the record's valueName, with
//   "Stream"  REG_BINARY 16 bytes: the stream id of the container its latest lock wrote, so that
//             an earlier container put back in its place is recognised;
//   "Salts"   REG_BINARY, 32 bytes a password: a random salt and the verifier made with it. A new
//             password is added beside the one the saved record still holds, so that whichever
//             of the two records the disk holds after a crash finds its salt.
// A vault without these values (made before they were kept, or after the registry was lost)
// still opens: without a stream id any container of its own is taken, and without a salt its
// verifier is the one made from its id and value name.

#include <cstdint>
#include <string>

#include "../base/registry_key.h"

enum { STREAM_ID_SIZE = 16, SEAL_SALT_SIZE = 16, SEAL_VERIFIER_SIZE = 16 };

class VaultSeals {
public:
    // Creates or opens "VaultSeals" below appKey. True when a handle was obtained.
    bool Open(const CRegistryKey& appKey);
    bool IsOpen() const { return key_.GetHandle() != nullptr; }

    // False when no stream id is kept for the vault.
    bool ReadStream(const std::string& valueName, uint8_t id[STREAM_ID_SIZE]) const;
    // Written and flushed to the disk; false (LastStatus says why) when either fails.
    bool WriteStream(const std::string& valueName, const uint8_t id[STREAM_ID_SIZE]) const;
    // The vault takes whatever container of its own it finds at its next unlock.
    bool ForgetStream(const std::string& valueName) const;

    // The salt kept with `verifier`; false when none is.
    bool ReadSalt(const std::string& valueName, const uint8_t verifier[SEAL_VERIFIER_SIZE],
                  uint8_t salt[SEAL_SALT_SIZE]) const;
    // Keeps `salt` with `verifier`, and of the salts kept before only the one kept with `keep`
    // (the verifier the saved record holds). Flushed; false when it cannot be.
    bool WriteSalt(const std::string& valueName, const uint8_t salt[SEAL_SALT_SIZE],
                   const uint8_t verifier[SEAL_VERIFIER_SIZE],
                   const uint8_t keep[SEAL_VERIFIER_SIZE]) const;

    // Everything kept for the vault goes (a removed vault, or a new one whose id was used).
    void Remove(const std::string& valueName) const;

private:
    bool OpenVault(const std::string& valueName, bool create, CRegistryKey* vault) const;

    CRegistryKey key_;
};

// A new random stream id for a strong container about to be written, kept beside the record
// (flushed) before the container is begun, so that whenever the container is found the record
// knows it for the latest; without seals (a record of no store) only made. False, with *why
// ready for a message, when no random number can be made or it cannot be kept.
bool NoteNewStream(const VaultSeals* seals, const std::string& valueName,
                   uint8_t id[STREAM_ID_SIZE], std::string* why);
