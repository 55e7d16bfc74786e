#include "vault_store.h"

#include <cstring>

#include "../files/ansi_name.h"
#include "../files/vault_path.h"

bool VaultStore::Open(const CRegistryKey& appKey)
{
    if (!key_.Open("Vaults", appKey.GetHandle()))
        return false;
    seals_.Open(appKey);
    return true;
}

bool VaultStore::Load(uint32_t id, VaultRecord& record) const
{
    if (!key_.ReadBinary(VaultRecord::ValueNameOf(id).c_str(), &record, VAULT_RECORD_SIZE))
        return false;
    record.store = this;
    return true;
}

namespace registry_faults {
namespace {

uint32_t counted = 0;
uint32_t armed = 0;  // bit n - 1: operation n fails
LONG armedStatus = ERROR_SUCCESS;

}  // namespace

void Arm(uint32_t failing, LONG status)
{
    counted = 0;
    armed = failing;
    armedStatus = status;
}

void Disarm() { Arm(0, ERROR_SUCCESS); }

uint32_t Count() { return counted; }

// Counts one operation; false, with LastStatus set to the armed status, when it is to fail.
bool Proceed()
{
    ++counted;
    if (counted > 32 || !(armed & (1u << (counted - 1))))
        return true;
    LastStatus = armedStatus;
    return false;
}

}  // namespace registry_faults

bool VaultStore::Save(const VaultRecord& record, bool* written) const
{
    if (written)
        *written = false;
    if (!registry_faults::Proceed() ||
        !key_.WriteBinary(VaultRecord::ValueNameOf(record.id).c_str(), &record,
                          VAULT_RECORD_SIZE))
        return false;
    if (written)
        *written = true;
    return registry_faults::Proceed() && key_.Flush();
}

void VaultStore::Remove(VaultRecord& record, const std::string& root)
{
    record.DeleteFiles(*this, root);
    key_.DeleteValue(record.ValueName().c_str());
    seals_.Remove(record.ValueName());
}

LONG VaultStore::ReadAt(VaultRecord& record) const
{
    // Read into a zeroed scratch copy, so a short value leaves nothing of an earlier record.
    VaultRecord scratch;
    char valueName[VALUE_NAME_SIZE];
    DWORD nameLength = sizeof(valueName);
    DWORD dataLength = VAULT_RECORD_SIZE;
    LONG status = RegEnumValueA(key_.GetHandle(), record.enumIndex, valueName, &nameLength,
                                nullptr, nullptr, reinterpret_cast<BYTE*>(&scratch), &dataLength);
    if (status != ERROR_SUCCESS)
        return status;
    if (std::strncmp(valueName, scratch.valueName, VALUE_NAME_SIZE) != 0)
        return ERROR_INVALID_DATA;
    uint32_t index = record.enumIndex;
    record = scratch;
    record.enumIndex = index;
    record.store = this;
    return ERROR_SUCCESS;
}

bool VaultStore::First(VaultRecord& record) const
{
    record.enumIndex = 0;
    return ReadAt(record) == ERROR_SUCCESS;
}

bool VaultStore::Next(VaultRecord& record) const
{
    ++record.enumIndex;
    return ReadAt(record) == ERROR_SUCCESS;
}

bool VaultStore::IsNameFree(const std::string& name, const std::string& root,
                            uint32_t exceptId) const
{
    if (IsVaultName(name, exceptId))
        return false;
    VaultRecord record;
    for (bool found = First(record); found; found = Next(record))
        if (record.id != exceptId && IsSameFileName(record.ValueName(), name))
            return false;
    std::string path = JoinPath(root, name);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    // A folder bears the name only under its own name, not when the name is its short alias
    // (such as 6B1A99~1.REP for a container's working folder 6b1a9973.vlt.replaced).
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           IsSameFileName(found.cFileName, name);
}

bool VaultStore::IsVaultName(const std::string& name, uint32_t exceptId) const
{
    VaultRecord record;
    for (bool found = First(record); found; found = Next(record))
        if (record.id != exceptId && IsSameFileName(record.Name(), name))
            return true;
    return false;
}

bool VaultStore::HasUnlockedVault() const
{
    VaultRecord record;
    for (bool found = First(record); found; found = Next(record))
        if (!(record.flags & VAULT_LOCKED))
            return true;
    return false;
}

std::string RecordNotSavedText()
{
    return "Its record could not be saved in the registry (error " + std::to_string(LastStatus) +
           ").";
}
