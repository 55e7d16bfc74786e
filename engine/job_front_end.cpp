#include "job_front_end.h"

#include "../framework/win_app.h"

namespace {

class DialogFrontEnd : public JobFrontEnd {
public:
    bool RunJob(ProgressState& state, JobProc proc, void* job) override
    {
        CProgressDlg dialog(state);
        return dialog.Run(proc, job);
    }

    void ShowError(const std::string& text) override
    {
        // Above the vault job's dialog while one is open, else above the active window.
        CProgressDlg* dialog = VaultJobProgress.dialog;
        HWND owner = dialog && dialog->m_hWnd ? dialog->m_hWnd : GetActiveWindow();
        MessageBoxA(owner, text.c_str(), AfxGetAppName().c_str(), MB_OK | MB_ICONSTOP);
    }
};

DialogFrontEnd dialogFrontEnd;
JobFrontEnd* current = &dialogFrontEnd;

}  // namespace

JobFrontEnd& CurrentJobFrontEnd() { return *current; }

void SetJobFrontEnd(JobFrontEnd* frontEnd) { current = frontEnd ? frontEnd : &dialogFrontEnd; }
