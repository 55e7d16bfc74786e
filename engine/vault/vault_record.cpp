#include "vault_record.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "../base/secret_memory.h"
#include "../container/strong_container.h"
#include "../crypto/blowfish_cipher.h"
#include "../crypto/md5_digest.h"
#include "../crypto/password_text.h"
#include "../crypto/password_verifier.h"
#include "../files/file_error_text.h"
#include "../jobs/job_front_end.h"
#include "../names/container_files.h"
#include "../names/vault_name.h"
#include "record_keeper.h"
#include "vault_seals.h"
#include "vault_store.h"

VaultRecord::VaultRecord()
    : flags(0), id(0), passwordDigest{}, valueName{}, name{}, padding{}, folder(*this),
      enumIndex(0), store(nullptr)
{
}

VaultRecord::VaultRecord(const VaultRecord& other) : folder(*this) { *this = other; }

VaultRecord& VaultRecord::operator=(const VaultRecord& other)
{
    std::memcpy(static_cast<void*>(this), static_cast<const void*>(&other), VAULT_RECORD_SIZE);  // the companion keeps pointing at this record
    enumIndex = other.enumIndex;
    store = other.store;
    return *this;
}

std::string VaultRecord::ValueNameOf(uint32_t id)
{
    char text[VALUE_NAME_SIZE];
    std::snprintf(text, sizeof(text), "%8.8x.vlt", static_cast<unsigned>(id));
    return text;
}

ContainerBinding VaultRecord::Binding() const { return ContainerBinding{id, ValueName()}; }

std::string VaultRecord::Name() const { return std::string(name, strnlen(name, sizeof(name))); }

std::string VaultRecord::ValueName() const
{
    return std::string(valueName, strnlen(valueName, sizeof(valueName)));
}

void VaultRecord::SetId(uint32_t newId)
{
    id = newId;
    std::memset(valueName, 0, sizeof(valueName));
    std::string text = ValueNameOf(newId);
    std::memcpy(valueName, text.c_str(), text.size());
}

void VaultRecord::SetName(const std::string& newName)
{
    std::memset(name, 0, sizeof(name));
    std::memcpy(name, newName.c_str(), newName.size());
}

bool VaultRecord::Create(const RecordKeeper& store, const std::string& root,
                         const std::string& newName, const char* password, bool strong)
{
    if (!IsValidVaultName(newName) || !store.IsNameFree(newName, root))
        return false;
    VaultRecord created;
    created.SetName(newName);
    if (!created.folder.EnsureFolder(root))
        return false;
    // Two vaults made within one second must not share an id, and a container or a working
    // file beside one (a journal, a kept partial container) left in the root by another vault
    // must never be overwritten or taken over by this one.
    uint32_t candidate = static_cast<uint32_t>(std::time(nullptr));
    VaultRecord existing;
    for (;; ++candidate) {
        created.SetId(candidate);
        if (!store.Load(candidate, existing) &&
            ContainerFilesOf(created.folder.ContainerPath(root)).empty())
            break;
    }
    created.flags = VAULT_UNLOCKED | (strong ? uint32_t(VAULT_STRONG) : 0u);
    created.store = &store;
    // Whatever is kept beside a record of this id is left from a vault removed long ago.
    store.Seals().Remove(created.ValueName());
    if (!created.SetPassword(password))
        return false;
    *this = created;
    return folder.EnsureFolder(root);
}

bool VaultRecord::Rename(const RecordKeeper& store, const std::string& root,
                         const std::string& newName)
{
    // Its own name stays, even one the name rule refuses now.
    if (newName == Name())
        return true;
    if (!IsValidVaultName(newName))
        return false;
    if (!store.IsNameFree(newName, root, id))
        return false;
    if (!IsLocked() && !folder.MoveFolder(root, newName))
        return false;
    SetName(newName);
    return true;
}

namespace {

// Shows the wait cursor for one scope.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }

private:
    HCURSOR previous_;
};

// Where a strong vault's salts are kept; null for a record of no store.
const VaultSeals* SealsOf(const VaultRecord& record)
{
    return record.store && record.store->Seals().IsOpen() ? &record.store->Seals() : nullptr;
}

// A strong vault's verifier of a new password, with a new random salt kept beside the record
// (beside the salt of the verifier the record holds now, until the record is saved). A record of
// no store is salted as vaults were before.
bool MakeStrongDigest(const VaultRecord& record, const char* password, uint8_t digest[16])
{
    const VaultSeals* seals = SealsOf(record);
    if (!seals)
        return MakeEarlierPasswordVerifier(password, record.id, record.ValueName(), digest);
    uint8_t salt[PASSWORD_SALT_SIZE];
    bool made = RandomBytes(salt, sizeof(salt)) && MakePasswordVerifier(password, salt, digest) &&
                seals->WriteSalt(record.ValueName(), salt, digest, record.passwordDigest);
    WipeBytes(salt, sizeof(salt));
    return made;
}

// Whether a strong vault's verifier is the one of `password`: with the salt kept beside the
// record, else as vaults were salted before, where the password may also have been typed in the
// ANSI or the console's code page.
bool IsStrongDigestOf(const VaultRecord& record, const char* password)
{
    uint8_t digest[16];
    uint8_t salt[PASSWORD_SALT_SIZE];
    const VaultSeals* seals = SealsOf(record);
    bool matches = false;
    if (seals && seals->ReadSalt(record.ValueName(), record.passwordDigest, salt)) {
        matches = MakePasswordVerifier(password, salt, digest) &&
                  SameSecretBytes(digest, record.passwordDigest, sizeof(digest));
    } else {
        std::vector<std::string> forms = EarlierPasswordForms(password);
        forms.insert(forms.begin(), password);
        for (const std::string& form : forms)
            matches = matches ||
                      (MakeEarlierPasswordVerifier(form.c_str(), record.id, record.ValueName(),
                                                   digest) &&
                       SameSecretBytes(digest, record.passwordDigest, sizeof(digest)));
        WipeStrings(forms);
    }
    WipeBytes(digest, sizeof(digest));
    WipeBytes(salt, sizeof(salt));
    return matches;
}

}  // namespace

bool VaultRecord::SetPassword(const char* password)
{
    uint8_t digest[16];
    bool made = true;
    if (IsStrong()) {
        WaitCursor wait;
        made = MakeStrongDigest(*this, password, digest);
    } else {
        Md5Digest(password).Final(digest);
    }
    if (made)
        std::memcpy(passwordDigest, digest, sizeof(digest));
    WipeBytes(digest, sizeof(digest));
    return made;
}

bool VaultRecord::CheckPassword(const char* password) const
{
    if (IsStrong()) {
        WaitCursor wait;
        return IsStrongDigestOf(*this, password);
    }
    uint8_t digest[16];
    Md5Digest(password).Final(digest);
    bool matches = SameSecretBytes(digest, passwordDigest, sizeof(digest));
    WipeBytes(digest, sizeof(digest));
    return matches;
}

namespace {

std::string PasswordNotChangedText(const std::string& name, const std::string& why)
{
    return "The password of vault \"" + name + "\" has not been changed:\r\n" + why;
}

}  // namespace

bool VaultRecord::ChangePassword(const std::string& root, const char* password,
                                 const char* newPassword)
{
    if (!IsStrong() || !IsLocked())
        return SetPassword(newPassword);
    // The copy under the new password is on disk before the record takes the new password, and
    // the record is on disk before the copy replaces the container: whatever instant the
    // process ends at, one of the two opens with the password the record accepts, and the next
    // unlock settles which (SettleRewrappedContainer). A change cut short before is settled
    // first, so that its copy is never written over while it may be the one that opens.
    WaitCursor wait;
    bool refused = false;
    std::string container = folder.ContainerPath(root);
    if (!SettleRewrappedContainer(container, Binding(), password) ||
        !WriteRewrappedContainer(container, Binding(), password, newPassword, &refused)) {
        ShowError(PasswordNotChangedText(
            Name(), refused ? "The container " + container +
                                  " is damaged or does not open with the current password."
                            : FileErrorText(GetLastError(), container)));
        return false;
    }
    VaultRecord before = *this;
    bool unsure = false;
    if (!SetPassword(newPassword) || !SaveOrRestore(before, &unsure)) {
        std::string why = RecordNotSavedText();
        // The disk may hold either password: both copies stay, and the next unlock keeps the
        // one that opens with the password the record holds.
        if (unsure) {
            ShowError("The password of vault \"" + Name() + "\" may not have been changed:\r\n" +
                      why + "\r\nThe vault opens with the new password, or, if that is refused, "
                      "with the current one.");
            return false;
        }
        RemoveAnyFile(RewrappedContainerPath(container));
        ShowError(PasswordNotChangedText(Name(), why));
        return false;
    }
    // When the copy cannot take the container's place now, the next unlock puts it there.
    PlaceRewrappedContainer(container);
    return true;
}

bool VaultRecord::MoveToState(uint32_t target, ContentsJob job, const std::string& root,
                              const char* password)
{
    if (flags & target)
        return true;
    uint32_t previous = target == VAULT_LOCKED ? VAULT_UNLOCKED : VAULT_LOCKED;
    WaitCursor wait;
    flags &= ~previous;  // neither bit while the job runs
    BlowfishCipher cipher;
    bool reached = (folder.*job)(root, password, cipher);
    if (!(flags & (VAULT_LOCKED | VAULT_UNLOCKED)))
        flags |= reached ? target : previous;
    return reached;
}

bool VaultRecord::SaveOrRestore(const VaultRecord& before, bool* unsure)
{
    bool holdsThis = false;  // the registry holds this record rather than `before`
    if (unsure)
        *unsure = false;
    if (!store || store->Save(*this, &holdsThis))
        return true;
    LONG status = LastStatus;
    bool sure = !holdsThis;  // a failed write changes nothing
    if (holdsThis) {
        bool rewritten = false;
        sure = store->Save(before, &rewritten);
        holdsThis = !rewritten;
    }
    LastStatus = status;
    if (!holdsThis)
        *this = before;
    if (unsure)
        *unsure = !sure;
    return false;
}

bool VaultRecord::CommitState(uint32_t state, bool* unsure)
{
    const uint32_t both = VAULT_LOCKED | VAULT_UNLOCKED;
    VaultRecord before = *this;
    // While a job runs the flags hold neither bit, and the registry the state it started from.
    if (!(before.flags & both))
        before.flags |= both & ~state;
    flags = (flags & ~both) | state;
    return SaveOrRestore(before, unsure);
}

bool VaultRecord::Lock(const std::string& root, const char* password)
{
    return MoveToState(VAULT_LOCKED, &VaultFolder::LockContents, root, password);
}

bool VaultRecord::Unlock(const std::string& root, const char* password)
{
    return MoveToState(VAULT_UNLOCKED, &VaultFolder::UnlockContents, root, password);
}

bool VaultRecord::DeleteFiles(const RecordKeeper& store, const std::string& root)
{
    folder.Discard(root, DISCARD_FOLDER);
    folder.Discard(root, DISCARD_CONTAINER);
    folder.DiscardWorkingFiles(root, store);
    return true;
}

bool VaultRecord::OpenFolder(const std::string& root) { return folder.OpenInShell(root); }
