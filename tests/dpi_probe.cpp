// Opens every window of the program on a scratch store and vaults root, at the DPI this process
// runs at (the test prefix's LogPixels), and reads each one (window_fit.h). Writes its report to
// the file named by its one argument, a line each:
//   dpi N                      the DPI the process runs at
//   window NAME P T            a window read: P pictures and T texts checked
//   finding TEXT               something wrong, with the control it is about
// At 96 dpi it also moves the main dialog to a screen of 144 dpi, as the system tells a window
// that has been moved (WM_DPICHANGED), and reads its pictures again ("main moved to 144").

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>

#include "engine/vault/vault_record.h"
#include "framework/dpi.h"
#include "resources/resource.h"
#include "scratch.h"
#include "shell/already_running_dialog.h"
#include "shell/vaults_app.h"
#include "ui/introduction_wizard.h"
#include "ui/password_dialog.h"
#include "ui/vault_properties_dialog.h"
#include "ui/vaults_dialog.h"
#include "window_fit.h"

namespace {

FILE* report = nullptr;

void Read(const std::string& name, HWND window, UINT dpi, bool texts = true)
{
    if (!window) {
        std::fprintf(report, "finding %s did not open\n", name.c_str());
        return;
    }
    int pictures = 0, textCount = 0;
    std::vector<std::string> findings = PictureFindings(window, dpi, &pictures);
    if (texts) {
        std::vector<std::string> more = TextFindings(window, dpi, &textCount);
        findings.insert(findings.end(), more.begin(), more.end());
    }
    std::fprintf(report, "window %s %d %d\n", name.c_str(), pictures, textCount);
    for (const std::string& finding : findings)
        std::fprintf(report, "finding %s: %s\n", name.c_str(), finding.c_str());
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// What runs once a modal window is up: called from the modal loop of this thread.
std::function<void(HWND)> whenUp;

void CALLBACK RunWhenUp(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    whenUp(GetActiveWindow());
}

// Runs `modal` (which shows a modal window) with `read` called on that window once it is up;
// `read` ends the window.
void WhileModal(const std::function<void()>& modal, const std::function<void(HWND)>& read)
{
    whenUp = read;
    SetTimer(nullptr, 0, 300, RunWhenUp);
    modal();
}

void ReadAndCancel(const std::string& name, HWND dialog)
{
    Read(name, dialog, WindowDpi(dialog));
    EndDialog(dialog, IDCANCEL);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

void ReadMainDialog(CVaultsApp& app)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = app.m_hInstance;
    windowClass.lpszClassName = "OrvellaDpiProbeMain";
    RegisterClassA(&windowClass);
    CWnd mainWindow;
    mainWindow.Attach(CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, app.m_hInstance, nullptr));
    app.m_pMainWnd = &mainWindow;
    {
        CVaultsDlg dialog;
        if (dialog.Create()) {
            const std::pair<int, const char*> tabs[] = {
                {IDC_TAB_OPTIONS, "main options"}, {IDC_TAB_VAULTS, "main vaults"},
                {IDC_TAB_ABOUT, "main about"}};
            for (const auto& tab : tabs) {
                dialog.ShowOnTab(tab.first);
                PumpMessages();
                Read(tab.second, dialog.m_hWnd, WindowDpi(dialog.m_hWnd));
            }
            if (SystemDpi() == kDefaultDpi) {
                // The fonts stay: only the system scales them, and this one is not moving it.
                RECT frame;
                GetWindowRect(dialog.m_hWnd, &frame);
                RECT suggested = {frame.left, frame.top, frame.left + (frame.right - frame.left) * 3 / 2,
                                  frame.top + (frame.bottom - frame.top) * 3 / 2};
                SendMessageA(dialog.m_hWnd, WM_DPICHANGED, MAKEWPARAM(144, 144),
                             reinterpret_cast<LPARAM>(&suggested));
                PumpMessages();
                RECT now;
                GetWindowRect(dialog.m_hWnd, &now);
                if (!EqualRect(&now, &suggested))
                    std::fprintf(report, "finding main moved to 144: did not take the size suggested\n");
                Read("main moved to 144", dialog.m_hWnd, 144, false);
            }
        } else {
            Read("main", nullptr, 0);
        }
    }
    app.m_pMainWnd = nullptr;
    DestroyWindow(mainWindow.m_hWnd);
}

// Reads every page of the wizard, turning to each with PSM_SETCURSEL (no page's Next runs, so
// no vault is made), and finishes it from the last.
void ReadWizard()
{
    CIntroductionWizard wizard;
    WhileModal([&] { wizard.DoModal(); }, [&](HWND sheet) {
        for (int page = 0; page < 5; ++page) {
            SendMessageA(sheet, PSM_SETCURSEL, page, 0);
            PumpMessages();
            Read("wizard " + std::to_string(page + 1), sheet, WindowDpi(sheet));
        }
        // The sheet draws its header picture in a place of 49 x 49 pixels at every DPI.
        BITMAP header = {};
        GetObjectA(wizard.m_psh.hbmHeader, sizeof(header), &header);
        int wanted = 49;
        if (header.bmWidth != wanted || header.bmHeight != wanted)
            std::fprintf(report, "finding wizard: header picture %ldx%ld, %d wanted\n",
                         long(header.bmWidth), long(header.bmHeight), wanted);
        SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || !(report = std::fopen(argv[1], "w")))
        return 2;
    std::fprintf(report, "dpi %u\n", SystemDpi());
    ScratchKey settings;
    ScratchFolder root;
    CVaultsApp app;
    if (!app.OpenSharedObjects(HKEY_CURRENT_USER, settings.Path()) ||
        !app.SetVaultsRoot(root.Path()))
        return 3;
    VaultRecord letters;
    letters.Create(app.GetVaultStore(), root.Path(), "Letters", "sample", false);
    app.GetVaultStore().Save(letters);

    ReadMainDialog(app);
    WhileModal([&] {
        VaultRecord fresh;
        CVaultPropertiesDlg dialog;
        dialog.Setup(&fresh, &app.GetVaultStore(), VAULT_DIALOG_NEW);
        dialog.DoModal();
    }, [](HWND dialog) { ReadAndCancel("new vault", dialog); });
    WhileModal([&] {
        CVaultPropertiesDlg dialog;
        dialog.Setup(&letters, &app.GetVaultStore(), VAULT_DIALOG_MANAGE);
        dialog.DoModal();
    }, [](HWND dialog) { ReadAndCancel("manage vault", dialog); });
    WhileModal([&] { CPasswordDlg(letters).DoModal(); },
               [](HWND dialog) { ReadAndCancel("enter password", dialog); });
    WhileModal([] { CAlreadyRunningDlg().DoModal(); },
               [](HWND dialog) { ReadAndCancel("already running", dialog); });
    ReadWizard();
    app.GetVaultStore().Remove(letters, root.Path());
    std::fclose(report);
    return 0;
}
