#include "progress_dialog.h"

#include "../resources/resource.h"

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
    ON_MESSAGE(WM_JOB_PROGRESS, &CProgressDlg::OnProgress)
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg(ProgressState& state, CWnd* parent)
    : CDialog(IDD_PROGRESS, parent), m_state(&state)
{
    state.dialog = this;
}

bool CProgressDlg::Run(JobProc proc, void* job)
{
    ResetEvent(m_state->cancelEvent);
    m_resumed = false;
    m_thread = CreateThread(nullptr, 0, proc, job, CREATE_SUSPENDED, nullptr);
    if (!m_thread)
        return false;
    INT_PTR endCode = DoModal();
    if (!m_resumed) {
        // The dialog never came up: let the worker start only to see the cancel and return.
        SetEvent(m_state->cancelEvent);
        ResumeThread(m_thread);
        endCode = IDCANCEL;
    }
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
    return endCode != IDCANCEL;
}

void CProgressDlg::PostProgress(ProgressState& state)
{
    CProgressDlg* dialog = state.dialog;
    HWND window = dialog ? dialog->m_hWnd : nullptr;
    if (window && IsWindow(window))
        ::PostMessageA(window, WM_JOB_PROGRESS, 0, 0);
}

void CProgressDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Text(dx, IDC_PROGRESS_TITLE, m_title);
    DDX_Text(dx, IDC_PROGRESS_STATUS, m_status);
    DDX_Control(dx, IDC_PROGRESS_BAR, m_bar);
}

BOOL CProgressDlg::OnInitDialog()
{
    // The worker has not run yet, so the state needs no lock here.
    m_title = m_state->title;
    m_status = m_state->status;
    UpdateData(false);
    m_bar.SetRange(0, 100);
    m_bar.SetPos(0);
    m_resumed = ResumeThread(m_thread) != DWORD(-1);
    return TRUE;
}

LRESULT CProgressDlg::OnProgress(WPARAM, LPARAM)
{
    int position = 0;
    int endCode = 0;
    {
        ProgressLock hold(*m_state);
        if (m_state->error != 0) {
            endCode = IDCANCEL;
        } else {
            m_title = m_state->title;
            m_status = m_state->status;
            if (m_state->done == m_state->total) {
                position = 100;
                endCode = IDOK;
            } else if (m_state->total != 0) {
                position = int(double(m_state->done) / (double(m_state->total) * 0.01));
            }
        }
    }
    UpdateData(false);
    m_bar.SetPos(position);
    if (endCode)
        EndDialog(endCode);
    return 0;
}

void CProgressDlg::OnCancel()
{
    if (MessageBox("You have selected to cancel operation. Are you sure?",
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    SetEvent(m_state->cancelEvent);
    EndDialog(IDCANCEL);
}
