#include "vault_job.h"

#include "../framework/win_app.h"
#include "file_error_text.h"
#include "progress_dialog.h"

namespace vault_job {

uint8_t transferBuffer[CONTENT_CHUNK];

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
    if (!path.empty()) {
        CProgressDlg* dialog = VaultJobProgress.dialog;
        MessageBoxA(dialog ? dialog->m_hWnd : nullptr, FileErrorText(error, path).c_str(),
                    AfxGetAppName().c_str(), MB_OK | MB_ICONSTOP);
    }
    FailProgress(VaultJobProgress, VAULT_JOB_FAILED);
}

}  // namespace vault_job
