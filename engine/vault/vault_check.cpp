#include "vault_check.h"

#include <cstring>

#include "../container/strong_container.h"
#include "../crypto/blowfish_cipher.h"
#include "../files/file_error_text.h"
#include "../files/win_file.h"
#include "../jobs/container_check.h"
#include "../jobs/job_front_end.h"
#include "record_keeper.h"
#include "vault_record.h"
#include "vault_seals.h"

namespace {

// The container's size; false, after telling the user why, when it cannot be opened.
bool ContainerSizeOf(const VaultRecord& record, const std::string& path, uint64_t* size)
{
    WinFile file;
    if (file.OpenForReading(path) && file.Size(size))
        return true;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        ShowError("The vault \"" + record.Name() + "\" is locked, but its container " + path +
                  " is missing: there is nothing to check.");
    else
        ShowError(FileErrorText(error, path));
    return false;
}

// Checks the container at `path` as the vault's, behind the front end; false when the check was
// not made (the user has been told why, or cancelled).
bool RunCheck(const VaultRecord& record, const std::string& path, const char* password,
              BlockCipher& cipher, ContainerCheck* check)
{
    VaultJob& job = check->job;
    NameEncoding names = NamesOf(record);
    job.names = names;
    job.progress.encoding = names;
    job.vaultName = InEncoding(record.Name(), names);
    job.containerPath = InEncoding(path, names);
    if (!ContainerSizeOf(record, path, &job.total))
        return false;
    job.cipher = &cipher;
    job.strong = record.IsStrong();
    job.password = password;
    job.binding = record.Binding();
    job.streamKnown = record.IsStrong() && record.store &&
                      record.store->Seals().ReadStream(record.ValueName(), job.streamId);
    return RunJob(job.progress, CheckContainerProc, check);
}

CheckOutcome OutcomeOf(const ContainerCheck& check)
{
    return check.damage.empty() ? CheckOutcome::SOUND : CheckOutcome::DAMAGED;
}

}  // namespace

CheckOutcome CheckLockedVault(const VaultRecord& record, const std::string& root,
                              const char* password, std::string* result)
{
    if (!record.IsLocked()) {
        ShowError("The vault \"" + record.Name() + "\" is unlocked: its files are in its folder, "
                  "and there is no container to check. Lock it first.");
        return CheckOutcome::NOT_CHECKED;
    }
    BlowfishCipher cipher;
    cipher.SetKey(password, uint32_t(std::strlen(password)));
    std::string container = record.folder.ContainerPath(root);
    ContainerCheck check;
    if (!RunCheck(record, container, password, cipher, &check))
        return CheckOutcome::NOT_CHECKED;
    // A new password's change cut short leaves the container under the new password beside the
    // one under the old; the next unlock keeps the one that opens with the record's password.
    std::string copy = RewrappedContainerPath(container);
    ContainerCheck other;
    if (check.headerRefused && AttributesOf(copy) != INVALID_FILE_ATTRIBUTES &&
        RunCheck(record, copy, password, cipher, &other) && !other.headerRefused) {
        *result = CheckResultText(other) + "\r\nIt holds the vault under its new password; the "
                  "next unlock puts it in place of " + InEncoding(container, NamesOf(record)) + ".";
        return OutcomeOf(other);
    }
    *result = CheckResultText(check);
    return OutcomeOf(check);
}
