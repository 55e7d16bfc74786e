#include "vault_job.h"

#include "file_error_text.h"
#include "job_front_end.h"

namespace vault_job {

uint8_t transferBuffer[TRANSFER_BUFFER_SIZE];

void Report(const std::string* status, uint64_t done)
{
    {
        ProgressLock hold(VaultJobProgress);
        if (status)
            VaultJobProgress.status = *status;
        VaultJobProgress.done = done;
    }
    CProgressDlg::PostProgress(VaultJobProgress);
}

void Fail(DWORD error, const std::string& path)
{
    if (!path.empty())
        ShowError(FileErrorText(error, path));
    FailProgress(VaultJobProgress, VAULT_JOB_FAILED);
}

void FailWith(const std::string& text)
{
    ShowError(text);
    FailProgress(VaultJobProgress, VAULT_JOB_FAILED);
}

}  // namespace vault_job
