; Installer of the ORX toolkit for 32-bit and 64-bit Windows, built on Linux with makensis:
;
;   makensis -DVERSION=<x.y.z> -DBIN_DIR=<32-bit binaries> -DBIN64_DIR=<64-bit binaries>
;            -DSDK_DIR=<build/sdk> -DOUT_FILE=<setup.exe> installer/orx.nsi
;
; (scripts/installer.sh does this into build/installer/.) One setup program carries both
; architectures and installs what the running Windows needs.
;
; Installs:
;   32-bit system folder  orxload.exe, orxlink.dll, res409.dll, res419.dll (the loader loads its
;                         language module by plain name, so it lives beside orxload.exe); on
;                         64-bit Windows that is SysWOW64, where 32-bit programs load DLLs from
;   64-bit Windows only:  the x64 orxlink.dll and orxtool.exe in the 64-bit system folder
;   $INSTDIR              orxtool.exe (32-bit Windows), orxtool.txt, uninstall.exe; the
;                         default is Program Files\ORX of the machine's own architecture
;   Start menu\ORX        ORX Key Loader, ORX Driver Status (orxtool info), ORX Command
;                         Prompt, Uninstall ORX (fixed names, whatever the language)
;   HKLM                  the uninstall entry, and the component entry that orxload's About box
;                         lists (SOFTWARE\DEZURE\Cryptography\ORX); both in the 32-bit registry
;                         view, where the 32-bit loader reads
; Optional, off by default (selected on the command line of a silent run):
;   /EVALDRIVER           the emulated ORVEXA driver for evaluation, of the machine's own
;                         architecture: system folder\drivers\orvexa.sys as the kernel service
;                         "orvexa", and its control tool orvexa_ctl.exe in $INSTDIR
;   /SDK                  the SDK for client programmers in $INSTDIR\SDK
;
; The uninstaller removes exactly these. It never touches the user's settings
; (HKCU\SOFTWARE\DEZURE\Cryptography\orxload) or the seed mask
; (HKCU\SOFTWARE\DEZURE\Cryptography\RANDOM, value "mask"), and it removes the "orvexa"
; service only when this installer created it.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef VERSION
  !error "define VERSION (scripts/installer.sh passes it)"
!endif
!ifndef BIN_DIR
  !error "define BIN_DIR (scripts/installer.sh passes it)"
!endif
!ifndef BIN64_DIR
  !error "define BIN64_DIR (scripts/installer.sh passes it)"
!endif
!ifndef SDK_DIR
  !error "define SDK_DIR (scripts/installer.sh passes it)"
!endif
!ifndef OUT_FILE
  !define OUT_FILE "orx-setup.exe"
!endif
!ifndef README_FILE
  !define README_FILE "${__FILEDIR__}/../tools/orxtool/README.md"
!endif

!define PRODUCT "ORX toolkit"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ORX"
!define COMPONENT_KEY "SOFTWARE\DEZURE\Cryptography\ORX"
!define MENU_DIR "$SMPROGRAMS\ORX"
!define SERVICE "orvexa"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES\ORX"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ORX toolkit authors"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"
!include "StrFunc.nsh"
${UnStrStr}

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"
!include /CHARSET=UTF8 "${__FILEDIR__}/strings.nsh"

Var ServiceOutput
Var LoaderPath ; orxload.exe as the shell sees it (a 64-bit shell does not see SysWOW64 as system32)
Var ToolPath


; Where orxload.exe and orxtool.exe end up, as a 64-bit shell or a shortcut sees them.
!macro SetPaths
  ${If} ${RunningX64}
    StrCpy $LoaderPath "$WINDIR\SysWOW64\orxload.exe"
    StrCpy $ToolPath "$SYSDIR\orxtool.exe"
  ${Else}
    StrCpy $LoaderPath "$SYSDIR\orxload.exe"
    StrCpy $ToolPath "$INSTDIR\orxtool.exe"
  ${EndIf}
!macroend

; ---------------------------------------------------------------------------------------
Section "!$(SEC_CORE)" SecCore
  SectionIn RO
  SetShellVarContext all
  !insertmacro SetPaths

  ; $SYSDIR is SysWOW64 for this 32-bit program on 64-bit Windows while redirection is on.
  SetOutPath "$SYSDIR"
  File "${BIN_DIR}/orxload.exe"
  File "${BIN_DIR}/orxlink.dll"
  File "${BIN_DIR}/res409.dll"
  File "${BIN_DIR}/res419.dll"

  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    SetOutPath "$SYSDIR"
    File "${BIN64_DIR}/orxlink.dll"
    File "${BIN64_DIR}/orxtool.exe"
    ${EnableX64FSRedirection}
  ${Else}
    SetOutPath "$INSTDIR"
    File "${BIN_DIR}/orxtool.exe"
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=orxtool.txt" "${README_FILE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "${MENU_DIR}"
  CreateShortcut "${MENU_DIR}\ORX Key Loader.lnk" "$LoaderPath"
  CreateShortcut "${MENU_DIR}\ORX Driver Status.lnk" "$SYSDIR\cmd.exe" \
    '/k ""$ToolPath" info"' "$SYSDIR\cmd.exe" 0
  CreateShortcut "${MENU_DIR}\ORX Command Prompt.lnk" "$SYSDIR\cmd.exe" \
    '/k "cd /d "$INSTDIR" && orxtool.exe --help"' "$SYSDIR\cmd.exe" 0
  CreateShortcut "${MENU_DIR}\Uninstall ORX.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "ORX toolkit authors"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$LoaderPath"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegStr HKLM "${COMPONENT_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
SectionEnd

; ---------------------------------------------------------------------------------------
; The driver must match the kernel: on 64-bit Windows the x64 one, registered by the 64-bit
; sc (a kernel service that a 32-bit sc creates is hosted as a 32-bit driver there, and the
; x64 driver cannot load). So the section runs with redirection off: $SYSDIR is the real
; system folder.
Section /o "$(SEC_EMULATED)" SecEmulated
  SetShellVarContext all
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  Call InstallDriver
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}
SectionEnd

Function InstallDriver
  ; A driver service of that name that this installer did not create is left alone.
  nsExec::ExecToStack '"$SYSDIR\sc.exe" query ${SERVICE}'
  Pop $0
  Pop $ServiceOutput
  ${If} $0 == 0
    DetailPrint "$(MSG_SERVICE_EXISTS)"
    Return
  ${EndIf}

  SetOutPath "$SYSDIR\drivers"
  ${If} ${RunningX64}
    File "${BIN64_DIR}/orvexa.sys"
  ${Else}
    File "${BIN_DIR}/orvexa.sys"
  ${EndIf}
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "${BIN64_DIR}/orvexa_ctl.exe"
  ${Else}
    File "${BIN_DIR}/orvexa_ctl.exe"
  ${EndIf}

  nsExec::ExecToLog '"$SYSDIR\sc.exe" create ${SERVICE} type= kernel start= demand \
    binPath= "$SYSDIR\drivers\orvexa.sys" DisplayName= "ORVEXA driver (emulated, evaluation only)"'
  Pop $0
  ${If} $0 != 0
    DetailPrint "$(MSG_SERVICE_FAILED)"
    Delete "$SYSDIR\drivers\orvexa.sys"
    Delete "$INSTDIR\orvexa_ctl.exe"
    Return
  ${EndIf}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EmulatedDriver" 1
  nsExec::ExecToLog '"$SYSDIR\sc.exe" start ${SERVICE}'
  Pop $0
FunctionEnd

; ---------------------------------------------------------------------------------------
Section /o "$(SEC_SDK)" SecSdk
  SetOutPath "$INSTDIR\SDK"
  File /r "${SDK_DIR}/*"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecCore} "$(DESC_CORE)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecEmulated} "$(DESC_EMULATED)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSdk} "$(DESC_SDK)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ; 64-bit Windows: the toolkit's folder is the 64-bit Program Files, unless an earlier
  ; install or /D= chose one.
  ${If} ${RunningX64}
  ${AndIf} $INSTDIR == "$PROGRAMFILES\ORX"
    StrCpy $INSTDIR "$PROGRAMFILES64\ORX"
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/EVALDRIVER" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecEmulated}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/SDK" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSdk}
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------------------
Section "Uninstall"
  SetShellVarContext all

  ; The driver and the 64-bit files live in the real system folder: redirection off.
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "EmulatedDriver"
  ${If} $0 == 1
    Call un.RemoveDriver
  ${EndIf}
  ${If} ${RunningX64}
    Delete /REBOOTOK "$SYSDIR\orxlink.dll"
    Delete /REBOOTOK "$SYSDIR\orxtool.exe"
    ${EnableX64FSRedirection}
  ${Else}
    Delete "$INSTDIR\orxtool.exe"
  ${EndIf}

  Delete /REBOOTOK "$SYSDIR\orxload.exe"
  Delete /REBOOTOK "$SYSDIR\orxlink.dll"
  Delete /REBOOTOK "$SYSDIR\res409.dll"
  Delete /REBOOTOK "$SYSDIR\res419.dll"

  Delete "${MENU_DIR}\ORX Key Loader.lnk"
  Delete "${MENU_DIR}\ORX Driver Status.lnk"
  Delete "${MENU_DIR}\ORX Command Prompt.lnk"
  Delete "${MENU_DIR}\Uninstall ORX.lnk"
  RMDir "${MENU_DIR}"

  RMDir /r "$INSTDIR\SDK"
  Delete "$INSTDIR\orxtool.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${COMPONENT_KEY}"
  DeleteRegKey /ifempty HKLM "SOFTWARE\DEZURE\Cryptography"
  DeleteRegKey /ifempty HKLM "SOFTWARE\DEZURE"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; HKCU\SOFTWARE\DEZURE\Cryptography\orxload and ...\RANDOM belong to the user: kept.
SectionEnd

Function un.RemoveDriver
  nsExec::ExecToLog '"$SYSDIR\sc.exe" stop ${SERVICE}'
  Pop $1
  ; wait up to 10 s for the driver to unload before its file goes
  StrCpy $2 0
  ${Do}
    nsExec::ExecToStack '"$SYSDIR\sc.exe" query ${SERVICE}'
    Pop $1
    Pop $ServiceOutput
    ${UnStrStr} $3 $ServiceOutput "RUNNING"
    ${If} $3 == ""
    ${OrIf} $2 >= 20
      ${ExitDo}
    ${EndIf}
    Sleep 500
    IntOp $2 $2 + 1
  ${Loop}
  nsExec::ExecToLog '"$SYSDIR\sc.exe" delete ${SERVICE}'
  Pop $1
  Delete /REBOOTOK "$SYSDIR\drivers\orvexa.sys"
  Delete "$INSTDIR\orvexa_ctl.exe"
FunctionEnd
