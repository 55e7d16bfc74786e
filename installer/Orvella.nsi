; Setup of Zovantri Orvella: the program and its help file under Program Files, the Start-menu
; group in the installing user's Programs folder, and the uninstall entry whose "Inno Setup: ..."
; values the program's stealth mode reads to find the group and the installation folder.
;
;   makensis -DARCH=x86|amd64 -DSOURCE_DIR=<folder of Orvella.exe and Orvella.chm>
;            -DICON=<program icon> -DSIDE_PICTURE=<164x314 24-bit BMP> -DOUTPUT=<setup file>
;            Orvella.nsi
;
; ARCH x86 is the setup that ships: 32-bit, into the 32-bit Program Files folder and the 32-bit
; registry view, where the 32-bit program looks. ARCH amd64 packs a 64-bit build of the program
; into the 64-bit folder and view, for machines that run only 64-bit code.
;
; Both the setup and the uninstaller run silently with /S. The uninstaller, like every NSIS
; uninstaller, copies itself to %TEMP% and returns at once unless it is started with
; _?=<installation folder>.

!ifndef ARCH | SOURCE_DIR | ICON | SIDE_PICTURE | OUTPUT
    !error "Define ARCH (x86 or amd64), SOURCE_DIR, ICON, SIDE_PICTURE and OUTPUT with makensis -D"
!endif

Target ${ARCH}-unicode
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include MUI2.nsh
!include WinMessages.nsh

!define APP_TITLE "Zovantri Orvella"
!define PUBLISHER "Zovantri"
!define VERSION "1.0"
; The Start-menu group, relative to the Programs folder.
!define GROUP "Zovantri Orvella"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Zovantri Orvella_is1"
!define SHELL_FOLDERS_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program holds this mutex for as long as it runs.
!define INSTANCE_MUTEX "Orvella_is_running"
!define SYNCHRONIZE 0x00100000
; How long a running program is given to exit before the user is asked to close it.
!define CLOSE_WAIT_MS 10000

Name "${APP_TITLE}"
OutFile "${OUTPUT}"
RequestExecutionLevel admin
!if ${ARCH} == amd64
    InstallDir "$PROGRAMFILES64\${APP_TITLE}"
!else
    InstallDir "$PROGRAMFILES\${APP_TITLE}"
!endif
; A second setup offers the folder of the first.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "Inno Setup: App Path"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey ProductName "${APP_TITLE}"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey FileDescription "${APP_TITLE} Setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; The program's own picture at the left of the Welcome and Finish pages. Where the page's picture
; area is as tall as the picture (at 96 DPI with the usual dialog font, and under Wine, whose
; wider dialog font only widens the area) it is shown pixel for pixel; elsewhere it is scaled to
; the area's height, keeping its proportions. The default would stretch it to the area's width
; as well, distorting the emblem and blurring its edges.
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE_PICTURE}"
!define MUI_WELCOMEFINISHPAGE_BITMAP_STRETCH AspectFitHeight
; The line at the bottom of every page names the program rather than the tool that packed it.
BrandingText "${APP_TITLE} ${VERSION}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Setup and uninstaller share these functions under their own prefixes ("" and "un.").
!macro PROGRAM_FUNCTIONS un

; $0 = 1 while the program runs, 0 otherwise.
Function ${un}IsProgramRunning
    System::Call 'kernel32::OpenMutex(i ${SYNCHRONIZE}, i 0, t "${INSTANCE_MUTEX}") p .r0'
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        StrCpy $0 1
    ${EndIf}
FunctionEnd

; Asks a running program to exit with the registered message "WM_ORVELLA_SHUTDOWN" (which it
; handles like its own Exit command, asking its user first while a vault is unlocked) and waits
; for it to end, so that its files can be replaced or removed. When it is still running after
; the wait, the user may close it and retry; otherwise (and always in silent mode) the setup or
; the uninstall stops before anything is changed, with exit code 2.
Function ${un}CloseRunningProgram
  ask:
    Call ${un}IsProgramRunning
    StrCmp $0 0 done
    DetailPrint "Asking ${APP_TITLE} to exit..."
    System::Call 'user32::RegisterWindowMessage(t "WM_ORVELLA_SHUTDOWN") i .r1'
    System::Call 'user32::PostMessage(p ${HWND_BROADCAST}, i r1, p 0, p 0)'
    StrCpy $1 0
  wait:
    Sleep 250
    Call ${un}IsProgramRunning
    StrCmp $0 0 done
    IntOp $1 $1 + 250
    IntCmp $1 ${CLOSE_WAIT_MS} 0 wait
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${APP_TITLE} is still running, so its files cannot be replaced or removed.$\r$\n$\r$\nExit it from its icon near the system clock (while a vault is unlocked it asks first), then click Retry. Cancel stops here and changes nothing." \
        /SD IDCANCEL IDRETRY ask
    Abort "${APP_TITLE} is still running; nothing was changed."
  done:
FunctionEnd

!macroend

!insertmacro PROGRAM_FUNCTIONS ""
!insertmacro PROGRAM_FUNCTIONS "un."

!macro USE_PROGRAM_VIEWS
    ; The Start-menu group belongs to the installing user.
    SetShellVarContext current
    !if ${ARCH} == amd64
        SetRegView 64
    !endif
!macroend

Function .onInit
    !insertmacro USE_PROGRAM_VIEWS
FunctionEnd

Function un.onInit
    !insertmacro USE_PROGRAM_VIEWS
FunctionEnd

Var GroupFolder

; $GroupFolder = the group folder: inside the installation folder while stealth mode keeps it
; there, in the user's Programs folder otherwise.
Function FindGroupFolder
    ${If} ${FileExists} "$INSTDIR\${GROUP}\*.*"
        StrCpy $GroupFolder "$INSTDIR\${GROUP}"
    ${Else}
        StrCpy $GroupFolder "$SMPROGRAMS\${GROUP}"
    ${EndIf}
FunctionEnd

Section "Install"
    Call CloseRunningProgram
    SetOutPath "$INSTDIR"
    File "/oname=Orvella.exe" "${SOURCE_DIR}/Orvella.exe"
    File "/oname=Orvella.chm" "${SOURCE_DIR}/Orvella.chm"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; A setup over a stealthy installation refreshes the group where stealth mode keeps it.
    Call FindGroupFolder
    CreateDirectory "$GroupFolder"
    CreateShortcut "$GroupFolder\${APP_TITLE}.lnk" "$INSTDIR\Orvella.exe"
    CreateShortcut "$GroupFolder\${APP_TITLE} Help.lnk" "$INSTDIR\Orvella.chm"
    CreateShortcut "$GroupFolder\Uninstall ${APP_TITLE}.lnk" "$INSTDIR\${UNINSTALLER}"
    ; Stealth mode finds the group through this value; the shell writes it too, but not every
    ; profile has it yet.
    WriteRegStr HKCU "${SHELL_FOLDERS_KEY}" "Programs" "$SMPROGRAMS"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "Inno Setup: App Path" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Inno Setup: Icon Group" "${GROUP}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP_TITLE}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Orvella.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes the program's three shortcuts from `folder`, and the folder once it is empty: anything
; the user put there stays.
!macro REMOVE_GROUP folder
    Delete "${folder}\${APP_TITLE}.lnk"
    Delete "${folder}\${APP_TITLE} Help.lnk"
    Delete "${folder}\Uninstall ${APP_TITLE}.lnk"
    RMDir "${folder}"
!macroend

; Removes what the setup and the program put in place for the program to run. The vaults root,
; the vaults and the program's settings and vault records under HKCU\Software\Zovantri are the
; user's, and stay.
Section "Uninstall"
    Call un.CloseRunningProgram
    ; The program file goes first: while something else still holds it, nothing is removed.
    Delete "$INSTDIR\Orvella.exe"
    ${If} ${FileExists} "$INSTDIR\Orvella.exe"
        MessageBox MB_OK|MB_ICONSTOP \
            "$INSTDIR\Orvella.exe cannot be removed because it is in use. Close what uses it and run the uninstaller again; nothing was changed." \
            /SD IDOK
        Abort "$INSTDIR\Orvella.exe is in use; nothing was changed."
    ${EndIf}
    ; Stealth mode hides the installation folder and may have moved the group into it.
    SetFileAttributes "$INSTDIR" NORMAL
    !insertmacro REMOVE_GROUP "$SMPROGRAMS\${GROUP}"
    !insertmacro REMOVE_GROUP "$INSTDIR\${GROUP}"
    Delete "$INSTDIR\Orvella.chm"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    DeleteRegValue HKCU "${RUN_KEY}" "${APP_TITLE}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
