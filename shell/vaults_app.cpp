#include "vaults_app.h"

#include "../engine/files/directory_tree.h"
#include "../resources/resource.h"
#include "../ui/introduction_wizard.h"
#include "app_locations.h"
#include "autorun.h"
#include "main_frame.h"
#include "options_page.h"
#include "settings.h"
#include "start_recovery.h"

CVaultsApp::CVaultsApp() { SetAppServices(this); }

CVaultsApp::~CVaultsApp()
{
    m_mainFrame.reset();
    SetAppServices(nullptr);
    if (m_pageBrush)
        DeleteObject(m_pageBrush);
    if (m_taskMenu)
        DestroyMenu(m_taskMenu);
}

CVaultsApp& GetVaultsApp() { return *static_cast<CVaultsApp*>(AfxGetApp()); }

bool CVaultsApp::OpenSharedObjects(HKEY settingsParent, const std::string& settingsPath)
{
    if (!m_pageBrush)
        m_pageBrush = CreateSolidBrush(RGB(238, 241, 244));
    if (!m_taskMenu)
        m_taskMenu = LoadMenuA(m_hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME));

    std::string modulePath = ModuleFilePath();
    m_helpFilePath = modulePath.substr(0, modulePath.size() >= 3 ? modulePath.size() - 3 : 0) + "chm";

    m_brandName = LoadStringResource(IDS_BRAND_NAME);
    m_appTitle = LoadStringResource(IDS_APP_TITLE);
    if (!m_settingsKey.Open(settingsPath.c_str(), settingsParent))
        return false;

    m_defaultVaultRoot = DefaultVaultsRoot(m_brandName, m_appTitle);
    m_vaultRoot = ReadVaultsRoot(m_settingsKey, m_defaultVaultRoot);
    CreateDirectoryTree(m_vaultRoot);
    return m_vaultStore.Open(m_settingsKey);
}

bool CVaultsApp::InitInstance()
{
    OpenSharedObjects(HKEY_CURRENT_USER,
                      ApplicationKeyPath(LoadStringResource(IDS_BRAND_NAME),
                                         LoadStringResource(IDS_APP_TITLE)));

    m_firstRun = m_settingsKey.ReadDword(SETTING_FIRST_RUN, 1) != 0;
    if (m_firstRun)
        m_settingsKey.WriteDword(SETTING_FIRST_RUN, 0);
    ApplyAutorunDefault();

    if (!ClaimSingleInstance())
        return false;
    // Before any window can touch a vault: what a move, lock or unlock cut short is put right.
    RecoverVaultsAtStart(m_settingsKey, m_vaultStore, m_vaultRoot);

    if (m_firstRun)
        RunIntroductionWizard();
    if (!CreateMainFrame())
        return false;
    m_mainFrame->ShowWindow(SW_HIDE);
    UpdateWindow(m_mainFrame->m_hWnd);
    return true;
}

bool CVaultsApp::SetVaultsRoot(const std::string& path)
{
    m_vaultRoot = path;
    return SaveVaultsRoot(m_settingsKey, path);
}

void CVaultsApp::ApplyAutorunDefault()
{
    if (m_settingsKey.ReadDword(SETTING_AUTO_RUN, AUTORUN_ABSENT) != AUTORUN_ABSENT)
        return;
    m_settingsKey.WriteDword(SETTING_AUTO_RUN, 1);
    SetAutorun(m_appTitle, true);
}

bool CVaultsApp::ClaimSingleInstance() const
{
    // The handle is kept for the life of the process: holding it marks this instance.
    SetLastError(ERROR_SUCCESS);
    CreateMutexA(nullptr, FALSE, INSTANCE_MUTEX_NAME);
    if (GetLastError() == ERROR_SUCCESS)
        return true;
    // Only the running instance's main dialog is brought forward, never its hidden frame: the
    // search names the platform's dialog class as well as the caption.
    HWND running = FindWindowA("#32770", m_appTitle.c_str());
    if (running) {
        // Shown first: a hidden window cannot become the foreground window. A window that is
        // modal over it (a lock's progress, say) comes forward in its place.
        ShowWindow(running, SW_RESTORE);
        HWND modal = GetLastActivePopup(running);
        SetForegroundWindow(modal ? modal : running);
    }
    return false;
}

void CVaultsApp::RunIntroductionWizard()
{
    // Start-up goes on however the wizard ends.
    CIntroductionWizard wizard;
    wizard.DoModal();
}

bool CVaultsApp::CreateMainFrame()
{
    m_mainFrame.reset(new CMainFrame);
    m_pMainWnd = m_mainFrame.get();
    return m_mainFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW);
}

std::unique_ptr<CPropertyPage> CVaultsApp::MakeOptionsPage()
{
    return std::unique_ptr<CPropertyPage>(new COptionsPage);
}
