; The Windows installer: pathtally.exe into Program Files, a Start-menu entry, an entry
; under Apps & features with its uninstaller, and the autostart value the program's Options
; dialog writes. The user's data (the totals in the registry, %APPDATA%\Pathtally) is never
; touched: an upgrade over an older version keeps every total, and uninstalling keeps them.
; Silent with /S (install and uninstall); /D=FOLDER picks the folder.
;   makensis -DVERSION=1.2.3 -DPROGRAM=pathtally.exe -DPROGRAM_ICON=pathtally.ico
;            -DLICENSE_FILE=LICENSE -DOUTFILE=pathtally-setup-1.2.3.exe pathtally.nsi
; Exit codes: 0 done, 1 cancelled or failed, 2 the program is running (nothing changed).

Unicode true
Target amd64-unicode  ; a 64-bit installer sees the 64-bit registry and Program Files

!macro Required name
  !ifndef ${name}
    !error "${name} must be defined (-D${name}=...)"
  !endif
!macroend
!insertmacro Required VERSION
!insertmacro Required PROGRAM
!insertmacro Required PROGRAM_ICON
!insertmacro Required LICENSE_FILE
!insertmacro Required OUTFILE

!define PRODUCT "Pathtally"
!define PUBLISHER "Corvandel"
!define EXE "pathtally.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pathtally"
; The autostart entry, as the program's Options dialog keeps it: the value "Pathtally" of
; the Run key holding the program's full path, and the setting saying whether the user
; switched it off ("0").
!define RUN_KEY "software\microsoft\windows\currentversion\run"
!define RUN_VALUE "Pathtally"
!define MAIN_KEY "SOFTWARE\Corvandel\Pathtally"
!define AUTOSTART_SETTING "Aopen"
; The program's one-instance mutex: while it exists the program runs.
!define INSTANCE_MUTEX "Local\Pathtally.SingleInstance"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 The Pathtally developers, MIT License"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${PROGRAM_ICON}"
!define MUI_UNICON "${PROGRAM_ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "TradChinese"
!insertmacro MUI_LANGUAGE "English"

LangString Running ${LANG_SIMPCHINESE} "Pathtally 正在运行。请先退出它（文件 → 退出），再点“重试”。"
LangString Running ${LANG_TRADCHINESE} "Pathtally 正在執行。請先結束它（檔案 → 結束），再按「重試」。"
LangString Running ${LANG_ENGLISH} "Pathtally is running. Quit it first (File, Exit), then press Retry."

; Waits until the program is not running: asks to retry or cancel; a silent run ends with
; exit code 2 at once, before anything is changed.
!macro RefuseWhileRunning un
Function ${un}RefuseWhileRunning
  retry:
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    IfSilent 0 +3
      SetErrorLevel 2
      Quit
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(Running)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd
!macroend
!insertmacro RefuseWhileRunning ""
!insertmacro RefuseWhileRunning "un."

Function .onInit
  SetShellVarContext all
  Call RefuseWhileRunning
FunctionEnd

Function un.onInit
  SetShellVarContext all
  Call un.RefuseWhileRunning
FunctionEnd

Section "Pathtally" MainSection
  SectionIn RO
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "/oname=${EXE}" "${PROGRAM}"
  File "/oname=LICENSE.txt" "${LICENSE_FILE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Autostart, unless the user switched it off in Options (the program reads the user's key
  ; first where it cannot write the local machine's).
  ReadRegStr $0 HKCU "${MAIN_KEY}" "${AUTOSTART_SETTING}"
  ${If} $0 == ""
    ReadRegStr $0 HKLM "${MAIN_KEY}" "${AUTOSTART_SETTING}"
  ${EndIf}
  ${If} $0 != "0"
    WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" "$INSTDIR\${EXE}"
  ${EndIf}
SectionEnd

; The autostart entry goes only where it names this program; another one is left alone.
!macro RemoveAutostart root
  ReadRegStr $0 ${root} "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == "$INSTDIR\${EXE}"
    DeleteRegValue ${root} "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
!macroend

Section "Uninstall"
  ; The program's files only: what else is in the folder (Record.txt of a test run,
  ; Pathtally.vbp) stays, and so does the folder then. The totals in the registry and
  ; %APPDATA%\Pathtally are the user's and are kept.
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  !insertmacro RemoveAutostart HKLM
  !insertmacro RemoveAutostart HKCU
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
