#pragma once
// The modal dialog that shows a job's progress while its worker thread runs, and lets the user
// cancel it after a confirmation. Run returns only after the worker has ended.

#include "../../framework/controls.h"
#include "../../framework/dialog.h"
#include "../base/progress_state.h"

// Posted by a worker to the dialog: the state has changed. Also DM_SETDEFID's number, so the
// dialog must report it as handled.
enum { WM_JOB_PROGRESS = WM_USER + 1 };

typedef DWORD(WINAPI* JobProc)(void* job);
typedef BOOL(WINAPI* PostFunction)(HWND, UINT, WPARAM, LPARAM);

class CProgressDlg : public CDialog, public ProgressView {
public:
    CProgressDlg(ProgressState& state, CWnd* parent = nullptr);
    ~CProgressDlg() override;

    // Runs proc(job) on a new thread behind the modal dialog. True when the job completed;
    // false when it failed, was cancelled, or could not be started.
    bool Run(JobProc proc, void* job);

    // Tells the state's dialog, if its window exists, to look at the state again. Never waits.
    // Only one notification is queued at a time; a dropped one is made up by the dialog's
    // catch-up timer, so the dialog always sees the final state (and closes as failed if the
    // worker ended without one).
    static void PostProgress(ProgressState& state) { NotifyProgress(state); }
    void StateChanged(ProgressState& state) override;

    // How notifications are posted (PostMessageA); tests replace it to see dropped posts.
    static PostFunction postFunction;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void ShowTexts();
    BOOL OnInitDialog() override;
    // Enter: the dialog has no default button, and only the job or Cancel ends it.
    void OnOK() override {}
    void OnCancel() override;
    LRESULT OnProgress(WPARAM, LPARAM);
    LRESULT OnCatchUpTimer(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    std::string m_title;
    std::string m_status;
    NameEncoding m_encoding = NameEncoding::ANSI;  // of both texts
    CProgressCtrl m_bar;
    ProgressState* m_state;
    HANDLE m_thread = nullptr;
    bool m_resumed = false;
    bool m_ending = false;  // EndDialog has been called for this job
};
