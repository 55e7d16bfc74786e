#include "progress_dialog.h"

#include "../../framework/win_app.h"
#include "../../resources/resource.h"

namespace {
const UINT_PTR kCatchUpTimer = 1;
const UINT kCatchUpMilliseconds = 250;
}  // namespace

PostFunction CProgressDlg::postFunction = ::PostMessageA;

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
    ON_MESSAGE(WM_JOB_PROGRESS, &CProgressDlg::OnProgress)
    ON_MESSAGE(WM_TIMER, &CProgressDlg::OnCatchUpTimer)
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg(ProgressState& state, CWnd* parent)
    : CDialog(IDD_PROGRESS, parent), m_state(&state)
{
    state.view = this;
}

CProgressDlg::~CProgressDlg()
{
    // The state outlives this dialog: leave it no pointer to a dialog that is gone.
    if (m_state->view == this)
        m_state->view = nullptr;
}

bool CProgressDlg::Run(JobProc proc, void* job)
{
    m_state->BeginJob();
    InterlockedExchange(&m_state->notifyPending, 0);
    m_resumed = false;
    m_ending = false;
    m_thread = CreateThread(nullptr, 0, proc, job, CREATE_SUSPENDED, nullptr);
    if (!m_thread)
        return false;
    INT_PTR endCode = DoModal();
    if (!m_resumed) {
        // The dialog never came up: let the worker start only to see the cancel and return.
        m_state->RequestCancel();
        ResumeThread(m_thread);
        endCode = IDCANCEL;
    }
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
    // The dialog may have closed on what it saw; what counts is how the worker itself ended.
    return endCode != IDCANCEL && m_state->Succeeded();
}

void CProgressDlg::StateChanged(ProgressState& state)
{
    HWND window = m_hWnd;
    if (!window || !IsWindow(window))
        return;
    if (InterlockedExchange(&state.notifyPending, 1) != 0)
        return;  // the dialog has yet to read the state; it will see this change too
    if (!postFunction(window, WM_JOB_PROGRESS, 0, 0))
        InterlockedExchange(&state.notifyPending, 0);
}

void CProgressDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDC_PROGRESS_BAR, m_bar);
    if (!dx->save)
        ShowTexts();
}

// Through the wide calls, so that a name in any script shows as it is.
void CProgressDlg::ShowTexts()
{
    SetDlgItemTextW(m_hWnd, IDC_PROGRESS_TITLE, WidenName(m_title, m_encoding).c_str());
    SetDlgItemTextW(m_hWnd, IDC_PROGRESS_STATUS, WidenName(m_status, m_encoding).c_str());
}

BOOL CProgressDlg::OnInitDialog()
{
    // The worker has not run yet, so the state needs no lock here.
    m_title = m_state->title;
    m_status = m_state->status;
    m_encoding = m_state->encoding;
    UpdateData(false);
    m_bar.SetRange(0, 100);
    m_bar.SetPos(0);
    SetTimer(m_hWnd, kCatchUpTimer, kCatchUpMilliseconds, nullptr);
    m_resumed = ResumeThread(m_thread) != DWORD(-1);
    return TRUE;
}

LRESULT CProgressDlg::OnProgress(WPARAM, LPARAM)
{
    // Cleared before the state is read: a change made after this point posts again.
    InterlockedExchange(&m_state->notifyPending, 0);
    int position = 0;
    int endCode = 0;
    {
        ProgressLock hold(*m_state);
        if (!m_state->started)
            return 0;  // nothing of this job to show yet
        if (m_state->error != 0) {
            endCode = IDCANCEL;
        } else {
            m_title = m_state->title;
            m_status = m_state->status;
            m_encoding = m_state->encoding;
            position = PercentDone(m_state->done, m_state->total);
            if (m_state->done == m_state->total)
                endCode = IDOK;
        }
    }
    UpdateData(false);
    m_bar.SetPos(position);
    if (endCode) {
        m_ending = true;
        EndDialog(endCode);
    }
    return 0;
}

LRESULT CProgressDlg::OnCatchUpTimer(WPARAM timer, LPARAM)
{
    if (timer != kCatchUpTimer)
        return 0;
    // Looked at before the state: a worker that had ended by then has written all it ever will.
    bool workerEnded = WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0;
    OnProgress(0, 0);
    if (workerEnded && !m_ending) {
        // It ended without completing or failing: nothing will ever close the dialog but this.
        m_ending = true;
        EndDialog(IDCANCEL);
    }
    return 0;
}

void CProgressDlg::OnCancel()
{
    // A job that must run to its end says why instead of asking; it goes on meanwhile.
    if (!m_state->cancelRefusal.empty()) {
        MessageBox(WidenName(m_state->cancelRefusal, m_state->encoding),
                   WidenName(AfxGetAppName(), NameEncoding::ANSI), MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (MessageBox("You have selected to cancel operation. Are you sure?",
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    m_state->RequestCancel();
    m_ending = true;
    EndDialog(IDCANCEL);
}
