#include "vault_protect.h"

#include <cstring>

#include "../crypto/blowfish_cipher.h"
#include "../files/file_error_text.h"
#include "../files/win_file.h"
#include "../jobs/convert_container.h"
#include "../jobs/job_front_end.h"
#include "../names/container_files.h"
#include "record_keeper.h"
#include "vault_record.h"
#include "vault_seals.h"
#include "vault_store.h"

namespace {

std::string NotProtectedText(const std::string& name, const std::string& why)
{
    return "The vault \"" + name + "\" has not been encrypted with its password:\r\n" + why +
           "\r\nNothing has been changed.";
}

bool PlaceConvertedContainer(const VaultRecord& record, const std::string& root)
{
    return MovePath(ConvertedContainerPath(record, root), record.folder.ContainerPath(root),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// The classic container's size; false, the user told why, when it cannot be read or there is
// no room for its copy.
bool SizeToConvert(const VaultRecord& record, const std::string& root, uint64_t* size)
{
    std::string container = record.folder.ContainerPath(root);
    WinFile file;
    if (!file.OpenForReading(container) || !file.Size(size)) {
        ShowError(NotProtectedText(record.Name(), FileErrorText(GetLastError(), container)));
        return false;
    }
    return HasRoomFor(root, StrongContainerSize(*size));
}

// Writes the strong copy of the locked vault's classic container beside it, behind the progress
// dialog, under a new stream id kept beside the record first. False (the user told why, no copy
// left, the container as it was) when it cannot.
bool WriteConvertedContainer(const VaultRecord& record, const std::string& root,
                             const char* password, const char* strongPassword)
{
    VaultJob job;
    if (!SizeToConvert(record, root, &job.total))
        return false;
    std::string why;
    if (!NoteNewStream(record.store ? &record.store->Seals() : nullptr, record.ValueName(),
                       job.streamId, &why)) {
        ShowError(NotProtectedText(record.Name(), why));
        return false;
    }
    BlowfishCipher cipher;
    cipher.SetKey(password, uint32_t(std::strlen(password)));
    job.cipher = &cipher;
    job.strong = true;
    job.password = strongPassword;
    job.vaultName = record.Name();
    job.containerPath = record.folder.ContainerPath(root);
    job.binding = record.Binding();
    job.partialPath = ConvertedContainerPath(record, root);
    if (RunJob(job.progress, ConvertContainerProc, &job))
        return true;
    RemoveAnyFile(job.partialPath);
    return false;
}

}  // namespace

std::string ConvertedContainerPath(const VaultRecord& record, const std::string& root)
{
    return ContainerFilePath(record.folder.ContainerPath(root), ContainerFile::Converted);
}

bool SettleConvertedContainer(const VaultRecord& record, const std::string& root)
{
    std::string copy = ConvertedContainerPath(record, root);
    DWORD attributes = AttributesOf(copy);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;  // a folder of that name is not a copy (a vault named so, long ago)
    // Not unlocked: locked, or being unlocked (the flags hold neither state while a job runs).
    if (record.IsStrong() && !(record.flags & VAULT_UNLOCKED))
        return PlaceConvertedContainer(record, root);
    return RemoveAnyFile(copy);
}

bool VaultRecord::Protect(const std::string& root, const char* password,
                          const char* strongPassword)
{
    if (IsStrong())
        return true;
    bool locked = IsLocked();
    if (locked) {
        // A change cut short is settled first; this record is classic, so its copy goes.
        if (!SettleConvertedContainer(*this, root)) {
            ShowError(NotProtectedText(
                Name(), FileErrorText(GetLastError(), ConvertedContainerPath(*this, root))));
            return false;
        }
        if (!WriteConvertedContainer(*this, root, password, strongPassword))
            return false;
    }
    VaultRecord before = *this;
    bool unsure = false;
    flags |= VAULT_STRONG;
    bool saved = SetPassword(strongPassword) && SaveOrRestore(before, &unsure);
    if (!saved && unsure) {
        // The disk may hold either record: both containers stay, and the next start or unlock
        // keeps the one the record it finds takes.
        ShowError("The vault \"" + Name() +
                  "\" may not have been encrypted with its password:\r\n" + RecordNotSavedText() +
                  "\r\nIts container has been kept as it was, with the encrypted one beside it; "
                  "the program finishes or undoes the change at its next start, as the record "
                  "says.");
        return false;
    }
    if (!saved) {
        *this = before;
        if (locked)
            RemoveAnyFile(ConvertedContainerPath(*this, root));
        ShowError(NotProtectedText(Name(), RecordNotSavedText()));
        return false;
    }
    // When the copy cannot take the container's place now, the next unlock or start puts it there.
    if (locked)
        PlaceConvertedContainer(*this, root);
    return true;
}
