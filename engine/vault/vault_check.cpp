#include "vault_check.h"

#include <cstring>

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

}  // namespace

CheckOutcome CheckLockedVault(const VaultRecord& record, const std::string& root,
                              const char* password, std::string* result)
{
    if (!record.IsLocked()) {
        ShowError("The vault \"" + record.Name() + "\" is unlocked: its files are in its folder, "
                  "and there is no container to check. Lock it first.");
        return CheckOutcome::NOT_CHECKED;
    }
    ContainerCheck check;
    VaultJob& job = check.job;
    job.vaultName = record.Name();
    job.containerPath = record.folder.ContainerPath(root);
    if (!ContainerSizeOf(record, job.containerPath, &job.total))
        return CheckOutcome::NOT_CHECKED;
    BlowfishCipher cipher;
    cipher.SetKey(password, uint32_t(std::strlen(password)));
    job.cipher = &cipher;
    job.strong = record.IsStrong();
    job.password = password;
    job.binding = record.Binding();
    job.streamKnown = record.IsStrong() && record.store &&
                      record.store->Seals().ReadStream(record.ValueName(), job.streamId);
    if (!RunJob(job.progress, CheckContainerProc, &check))
        return CheckOutcome::NOT_CHECKED;
    *result = CheckResultText(check);
    return check.damage.empty() ? CheckOutcome::SOUND : CheckOutcome::DAMAGED;
}
