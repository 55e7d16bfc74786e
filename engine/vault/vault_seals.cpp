#include "vault_seals.h"
#include "vault_store.h"

#include <cstring>
#include <vector>

#include "../base/secret_memory.h"
#include "../crypto/cng_crypto.h"

namespace {

const char kStream[] = "Stream";
const char kSalts[] = "Salts";
const DWORD kSaltEntry = SEAL_SALT_SIZE + SEAL_VERIFIER_SIZE;
const DWORD kMostSalts = 8;

// The salt entries kept for a vault: salt, then verifier, one after another.
std::vector<uint8_t> ReadSalts(const CRegistryKey& vault)
{
    std::vector<uint8_t> salts(kMostSalts * kSaltEntry);
    DWORD size = 0;
    if (!vault.ReadBinary(kSalts, salts.data(), DWORD(salts.size()), &size))
        size = 0;
    salts.resize(size - size % kSaltEntry);
    return salts;
}

}  // namespace

bool VaultSeals::Open(const CRegistryKey& appKey)
{
    return key_.Open("VaultSeals", appKey.GetHandle());
}

bool VaultSeals::OpenVault(const std::string& valueName, bool create, CRegistryKey* vault) const
{
    if (!IsOpen() || valueName.empty())
        return false;
    return create ? vault->Open(valueName.c_str(), key_.GetHandle())
                  : vault->OpenExisting(valueName.c_str(), key_.GetHandle());
}

bool VaultSeals::ReadStream(const std::string& valueName, uint8_t id[STREAM_ID_SIZE]) const
{
    CRegistryKey vault;
    DWORD size = 0;
    return OpenVault(valueName, false, &vault) &&
           vault.ReadBinary(kStream, id, STREAM_ID_SIZE, &size) && size == STREAM_ID_SIZE;
}

bool VaultSeals::WriteStream(const std::string& valueName, const uint8_t id[STREAM_ID_SIZE]) const
{
    CRegistryKey vault;
    return OpenVault(valueName, true, &vault) && vault.WriteBinary(kStream, id, STREAM_ID_SIZE) &&
           vault.Flush();
}

bool VaultSeals::ForgetStream(const std::string& valueName) const
{
    CRegistryKey vault;
    if (!OpenVault(valueName, false, &vault))
        return true;
    uint8_t id[STREAM_ID_SIZE];
    if (!ReadStream(valueName, id))
        return true;
    return vault.DeleteValue(kStream) && vault.Flush();
}

bool VaultSeals::ReadSalt(const std::string& valueName, const uint8_t verifier[SEAL_VERIFIER_SIZE],
                          uint8_t salt[SEAL_SALT_SIZE]) const
{
    CRegistryKey vault;
    if (!OpenVault(valueName, false, &vault))
        return false;
    std::vector<uint8_t> salts = ReadSalts(vault);
    for (size_t at = 0; at < salts.size(); at += kSaltEntry) {
        if (std::memcmp(salts.data() + at + SEAL_SALT_SIZE, verifier, SEAL_VERIFIER_SIZE) == 0) {
            std::memcpy(salt, salts.data() + at, SEAL_SALT_SIZE);
            return true;
        }
    }
    return false;
}

bool VaultSeals::WriteSalt(const std::string& valueName, const uint8_t salt[SEAL_SALT_SIZE],
                           const uint8_t verifier[SEAL_VERIFIER_SIZE],
                           const uint8_t keep[SEAL_VERIFIER_SIZE]) const
{
    CRegistryKey vault;
    if (!OpenVault(valueName, true, &vault))
        return false;
    std::vector<uint8_t> salts(salt, salt + SEAL_SALT_SIZE);
    salts.insert(salts.end(), verifier, verifier + SEAL_VERIFIER_SIZE);
    std::vector<uint8_t> earlier = ReadSalts(vault);
    for (size_t at = 0; at < earlier.size(); at += kSaltEntry)
        if (std::memcmp(earlier.data() + at + SEAL_SALT_SIZE, keep, SEAL_VERIFIER_SIZE) == 0) {
            salts.insert(salts.end(), earlier.begin() + at, earlier.begin() + at + kSaltEntry);
            break;
        }
    return vault.WriteBinary(kSalts, salts.data(), DWORD(salts.size())) && vault.Flush();
}

void VaultSeals::Remove(const std::string& valueName) const
{
    if (IsOpen() && !valueName.empty())
        RegDeleteKeyA(key_.GetHandle(), valueName.c_str());
}

bool NoteNewStream(const VaultSeals* seals, const std::string& valueName,
                   uint8_t id[STREAM_ID_SIZE], std::string* why)
{
    if (!RandomBytes(id, STREAM_ID_SIZE)) {
        *why = "Windows could not make a random number for its key.";
        return false;
    }
    if (!seals || seals->WriteStream(valueName, id))
        return true;
    *why = RecordNotSavedText();
    return false;
}
