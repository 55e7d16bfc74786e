#include "vault_claim.h"

#include <cstdio>

#include "../files/ansi_name.h"
#include "vault_record.h"

namespace {

// Session-wide names, so that every process of the user sees them.
const char kVaultPrefix[] = "Local\\Zovantri Orvella vault ";
const char kNamesMutex[] = "Local\\Zovantri Orvella vault names";
const DWORD kNamesWaitMilliseconds = 10000;

// A short tag of the root as the file system names it (letter case and a final backslash aside):
// object names are limited to MAX_PATH characters, roots are not much shorter.
std::string RootTag(std::string root)
{
    while (!root.empty() && (root.back() == '\\' || root.back() == '/'))
        root.pop_back();
    uint32_t hash = 2166136261u;  // FNV-1a
    for (wchar_t c : FileNameKey(root))
        hash = (hash ^ uint32_t(c)) * 16777619u;
    char tag[9];
    std::snprintf(tag, sizeof(tag), "%08x", static_cast<unsigned>(hash));
    return tag;
}

}  // namespace

VaultClaim::~VaultClaim()
{
    for (HANDLE mutex : names_) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    // The vault claims are the mutexes' existence: closing the last handle ends them.
    for (HANDLE mutex : vaults_)
        CloseHandle(mutex);
}

bool VaultClaim::ClaimVault(const std::string& root, uint32_t id)
{
    std::string name = kVaultPrefix + RootTag(root) + " " + VaultRecord::ValueNameOf(id);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (!mutex)
        return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    vaults_.push_back(mutex);
    return true;
}

bool VaultClaim::ClaimNames()
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kNamesMutex);
    if (!mutex)
        return false;
    // An abandoned mutex (its holder died) is ours now all the same.
    DWORD waited = WaitForSingleObject(mutex, kNamesWaitMilliseconds);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return false;
    }
    names_.push_back(mutex);
    return true;
}

std::string VaultInUseText(const std::string& name)
{
    return "The vault \"" + name +
           "\" is in use by another window or process. Try again when that operation has "
           "finished.";
}
