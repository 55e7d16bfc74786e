#include <gtest/gtest.h>

#include <atomic>

#include "engine/jobs/job_front_end.h"
#include "engine/jobs/progress_dialog.h"
#include "framework/win_app.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

// Waits (from the worker) until the dialog has set its bar `updates` times in all.
void AwaitBarUpdates(int updates)
{
    for (DWORD start = GetTickCount(); ProgressBarRecorder::count < updates;) {
        if (GetTickCount() - start > ScaledMs(10000))
            return;
        Sleep(1);
    }
}

void SetDone(ProgressState& state, uint64_t done)
{
    {
        ProgressLock hold(state);
        state.done = done;
    }
    CProgressDlg::PostProgress(state);
}

struct SteppedJob {
    ProgressState* state;
    bool failAtEnd;
};

// Reports 1, 2 and 3 of 3, waiting for the dialog to show each before the next.
DWORD WINAPI SteppedWorker(void* parameter)
{
    SteppedJob& job = *static_cast<SteppedJob*>(parameter);
    StartProgress(*job.state, "Stepping", 3);
    AwaitBarUpdates(2);
    for (int done = 1; done <= 2; ++done) {
        SetDone(*job.state, done);
        AwaitBarUpdates(2 + done);
    }
    if (job.failAtEnd) {
        ProgressLock hold(*job.state);
        job.state->done = 3;
        job.state->error = 6001;
    } else {
        FinishProgress(*job.state);
        return 0;
    }
    CProgressDlg::PostProgress(*job.state);
    return 0;
}

struct CancellableJob {
    ProgressState* state;
    std::atomic<bool> release{false};
    std::atomic<bool> ended{false};
    bool sawCancel = false;
};

// Runs until cancelled or released; notes that it has ended only after a pause, so a Run that
// returned early would be caught.
DWORD WINAPI CancellableWorker(void* parameter)
{
    CancellableJob& job = *static_cast<CancellableJob*>(parameter);
    StartProgress(*job.state, "Waiting", 2);
    SetDone(*job.state, 1);
    while (!job.release) {
        if (job.state->IsCancelRequested()) {
            job.sawCancel = true;
            Sleep(300);
            job.ended = true;
            return 0;
        }
        Sleep(5);
    }
    FinishProgress(*job.state);
    job.ended = true;
    return 0;
}

DWORD WINAPI EmptyWorker(void* parameter)
{
    StartProgress(*static_cast<ProgressState*>(parameter), "Nothing", 0);
    return 0;
}

DWORD WINAPI SlowEmptyWorker(void* parameter)
{
    Sleep(300);  // long enough for the test to read the opening texts
    return EmptyWorker(parameter);
}

}  // namespace

TEST(ProgressDialog, ShowsEachStepAndClosesAsCompleted)
{
    ProgressState state;
    ProgressBarRecorder recorder;
    CProgressDlg dialog(state);
    SteppedJob job = {&state, false};
    EXPECT_TRUE(dialog.Run(SteppedWorker, &job));
    EXPECT_EQ(ProgressBarRecorder::positions, (std::vector<int>{0, 0, 33, 66, 100}));
}

TEST(ProgressDialog, AWorkerErrorClosesAsFailedWithTheBarAtZero)
{
    ProgressState state;
    ProgressBarRecorder recorder;
    CProgressDlg dialog(state);
    SteppedJob job = {&state, true};
    EXPECT_FALSE(dialog.Run(SteppedWorker, &job));
    ASSERT_FALSE(ProgressBarRecorder::positions.empty());
    EXPECT_EQ(ProgressBarRecorder::positions.back(), 0) << "done equals total, yet the job failed";
}

TEST(ProgressDialog, AJobWithNothingToDoCompletesAtOnce)
{
    ProgressState state;
    CProgressDlg dialog(state);
    EXPECT_TRUE(dialog.Run(EmptyWorker, &state));
}

TEST(ProgressDialog, CancelAnsweredNoKeepsTheJobRunning)
{
    ProgressState state;
    CancellableJob job;
    job.state = &state;
    std::thread user([&] {
        CancelAnswer answer = CancelProgressDialog(IDNO);
        EXPECT_TRUE(answer.asked);
        EXPECT_EQ(answer.text, "You have selected to cancel operation. Are you sure?");
        EXPECT_EQ(answer.caption, AfxGetAppName());
        Sleep(ScaledMs(100));
        EXPECT_TRUE(IsWindowVisible(answer.progress));
        job.release = true;
    });
    CProgressDlg dialog(state);
    EXPECT_TRUE(dialog.Run(CancellableWorker, &job));
    user.join();
    EXPECT_FALSE(job.sawCancel);
}

TEST(ProgressDialog, CancelAnsweredYesEndsTheJobAndRunWaitsForTheWorker)
{
    ProgressState state;
    CancellableJob job;
    job.state = &state;
    std::thread user([] { EXPECT_TRUE(CancelProgressDialog(IDYES).asked); });
    CProgressDlg dialog(state);
    EXPECT_FALSE(dialog.Run(CancellableWorker, &job));
    EXPECT_TRUE(job.ended) << "Run returned before the worker ended";
    EXPECT_TRUE(job.sawCancel);
    user.join();
}

TEST(ProgressDialog, AStaleCancelDoesNotStopTheNextJob)
{
    ProgressState state;
    state.RequestCancel();
    CancellableJob job;
    job.state = &state;
    job.release = true;
    CProgressDlg dialog(state);
    EXPECT_TRUE(dialog.Run(CancellableWorker, &job));
    EXPECT_FALSE(job.sawCancel);
}

TEST(ProgressDialog, OpensWithTheTextsThePreviousJobLeft)
{
    ProgressState state;
    state.title = "Earlier title";
    state.status = "Earlier status";
    std::string seenTitle, seenStatus;
    std::thread user([&] {
        HWND progress = WaitForDialog(IsProgressDialog);
        seenTitle = ItemText(progress, 1027);
        seenStatus = ItemText(progress, 1026);
    });
    CProgressDlg dialog(state);
    EXPECT_TRUE(dialog.Run(SlowEmptyWorker, &state));
    user.join();
    EXPECT_EQ(seenTitle, "Earlier title");
    EXPECT_EQ(seenStatus, "Earlier status");
}

std::wstring WideItemText(HWND dialog, int id)
{
    wchar_t text[512] = L"";
    GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

// The texts of a job over names of any script are UTF-8 (the literals here are): the progress
// window and the message box show them through the wide calls, as they are.
TEST(ProgressDialog, ShowsUtf8TextsInAnyScript)
{
    ProgressState state;
    state.encoding = NameEncoding::UTF8;
    state.title = "Decrypt vault Отчёты";
    state.status = "Processing 日記\\\xF0\x9F\x98\x80.txt";
    std::wstring seenTitle, seenStatus;
    std::thread user([&] {
        HWND progress = WaitForDialog(IsProgressDialog);
        seenTitle = WideItemText(progress, 1027);
        seenStatus = WideItemText(progress, 1026);
    });
    CProgressDlg dialog(state);
    EXPECT_TRUE(dialog.Run(SlowEmptyWorker, &state));
    user.join();
    EXPECT_EQ(seenTitle, L"Decrypt vault Отчёты");
    EXPECT_EQ(seenStatus, L"Processing 日記\\\U0001F600.txt");
}

TEST(JobFrontEnd, ShowsAnErrorInUtf8AsItIs)
{
    std::wstring seen;
    std::thread user([&] {
        HWND box = WaitForDialog(IsMessageBox);
        seen = WideItemText(box, 0xFFFF);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    ShowError("Access to C:\\Vaults\\Ελληνικά\\κείμενο.txt was denied.", NameEncoding::UTF8);
    user.join();
    EXPECT_EQ(seen, L"Access to C:\\Vaults\\Ελληνικά\\κείμενο.txt was denied.");
}

namespace {

std::atomic<long> postsMade{0};

BOOL WINAPI DropEveryPost(HWND, UINT, WPARAM, LPARAM)
{
    ++postsMade;
    return FALSE;  // as Windows does past 10,000 queued posts
}

BOOL WINAPI CountPosts(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++postsMade;
    return PostMessageA(window, message, wParam, lParam);
}

const uint64_t kFloodReports = 200000;

DWORD WINAPI FloodingWorker(void* parameter)
{
    ProgressState& state = *static_cast<ProgressState*>(parameter);
    StartProgress(state, "Flood", kFloodReports + 1);
    for (uint64_t done = 1; done <= kFloodReports; ++done)
        SetDone(state, done);
    FinishProgress(state);
    return 0;
}

// Restores the real posting when a test ends.
struct PosterSwap {
    explicit PosterSwap(PostFunction poster)
    {
        postsMade = 0;
        CProgressDlg::postFunction = poster;
    }
    ~PosterSwap() { CProgressDlg::postFunction = PostMessageA; }
};

}  // namespace

TEST(ProgressDialog, SeesTheFinalStateEvenWhenEveryPostIsDropped)
{
    PosterSwap swap(DropEveryPost);
    ProgressState state;
    CProgressDlg dialog(state);
    EXPECT_TRUE(dialog.Run(FloodingWorker, &state));
    EXPECT_GT(postsMade, 0);
}

TEST(ProgressDialog, ABusyWorkerDoesNotFloodTheDialog)
{
    PosterSwap swap(CountPosts);
    ProgressState state;
    CProgressDlg dialog(state);
    EXPECT_TRUE(dialog.Run(FloodingWorker, &state));
    EXPECT_LT(postsMade, long(kFloodReports / 10)) << "posts are coalesced";
}

namespace {

// Reports nothing for longer than the catch-up interval, then fails.
DWORD WINAPI LateFailingWorker(void* parameter)
{
    ProgressState& state = *static_cast<ProgressState*>(parameter);
    Sleep(400);
    StartProgress(state, "Late", 10);
    FailProgress(state, 6001);
    return 0;
}

// Reports nothing at all and returns, as a worker that met an early error might.
DWORD WINAPI SilentWorker(void*) { return 0; }

}  // namespace

// A finished job leaves done == total behind; the next job's dialog must not take that for its
// own success before its worker has reported, nor report success for a worker that never did.
TEST(ProgressDialog, AJobSucceedsOnlyByItsOwnWorkersOutcome)
{
    struct Case {
        const char* what;
        JobProc proc;
    } const cases[] = {{"a worker that fails after a pause", LateFailingWorker},
                       {"a worker that reports nothing", SilentWorker}};
    for (const Case& c : cases) {
        ProgressState state;
        {
            CProgressDlg first(state);
            ASSERT_TRUE(first.Run(EmptyWorker, &state)) << c.what;
        }
        CProgressDlg dialog(state);
        EXPECT_FALSE(dialog.Run(c.proc, &state)) << c.what;
    }
}

TEST(ProgressDialog, ADroppedFinalPostStillClosesTheDialog)
{
    PosterSwap swap(DropEveryPost);
    ProgressState state;
    CProgressDlg dialog(state);
    EXPECT_TRUE(dialog.Run(SlowEmptyWorker, &state));
}
