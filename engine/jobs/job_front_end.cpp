#include "job_front_end.h"

#include "../../framework/win_app.h"

namespace {

// Shows a window that is up already in front of the others, ready for the user.
void BringForward(HWND window)
{
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

class DialogFrontEnd : public JobFrontEnd {
public:
    // The progress dialog belongs to the window the job was started from and disables it, as
    // any modal window does. One job at a time: a job asked for while another runs (which only
    // a window left enabled by mistake could ask for) is refused, and the running one's
    // progress is brought forward instead.
    bool RunJob(ProgressState& state, JobProc proc, void* job) override
    {
        if (running_) {
            if (running_->m_hWnd)
                BringForward(running_->m_hWnd);
            return false;
        }
        CWnd owner;
        owner.Attach(AfxGetSafeOwner());
        CProgressDlg dialog(state, owner.m_hWnd ? &owner : nullptr);
        running_ = &dialog;
        bool completed = dialog.Run(proc, job);
        running_ = nullptr;
        owner.Attach(nullptr);
        return completed;
    }

    bool IsRunning() const { return running_ != nullptr; }

    void ShowError(const std::string& text, NameEncoding encoding) override
    {
        // Above the running job's dialog while one is open, else above the active window.
        CProgressDlg* dialog = running_;
        HWND owner = dialog && dialog->m_hWnd ? dialog->m_hWnd : AfxGetSafeOwner();
        MessageBoxW(owner, WidenName(text, encoding).c_str(),
                    WidenName(AfxGetAppName(), NameEncoding::ANSI).c_str(), MB_OK | MB_ICONSTOP);
    }

private:
    CProgressDlg* volatile running_ = nullptr;
};

DialogFrontEnd dialogFrontEnd;
JobFrontEnd* current = &dialogFrontEnd;

}  // namespace

bool IsJobRunning() { return dialogFrontEnd.IsRunning(); }

JobFrontEnd& CurrentJobFrontEnd() { return *current; }

void SetJobFrontEnd(JobFrontEnd* frontEnd) { current = frontEnd ? frontEnd : &dialogFrontEnd; }
