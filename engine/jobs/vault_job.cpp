#include "vault_job.h"

#include <new>

#include "../files/file_error_text.h"
#include "job_front_end.h"

namespace vault_job {

uint8_t* TransferBuffer(VaultJob& job)
{
    if (!job.transferBuffer)
        job.transferBuffer = NewWipedBlock(TRANSFER_BUFFER_SIZE);
    if (!job.transferBuffer)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return job.transferBuffer.get();
}

void Report(VaultJob& job, const std::string* status, uint64_t done)
{
    {
        ProgressLock hold(job.progress);
        if (status)
            job.progress.status = *status;
        job.progress.done = done;
    }
    NotifyProgress(job.progress);
}

void Fail(VaultJob& job, DWORD error, const std::string& path)
{
    if (!path.empty())
        ShowError(FileErrorText(error, path), job.names);
    FailProgress(job.progress, VAULT_JOB_FAILED);
}

void FailWith(VaultJob& job, const std::string& text)
{
    ShowError(text, job.names);
    FailProgress(job.progress, VAULT_JOB_FAILED);
}

}  // namespace vault_job
