; Installer of the ORX toolkit for 32-bit Windows, built on Linux with makensis:
;
;   makensis -DBIN_DIR=<folder with the built binaries> -DOUT_FILE=<setup.exe> installer/orx.nsi
;
; (scripts/installer.sh does this into build/installer/.)
;
; Installs:
;   system folder       orxload.exe, orxlink.dll, res409.dll, res419.dll (the loader loads its
;                       language module by plain name, so it lives beside orxload.exe)
;   $INSTDIR            orxtool.exe, orxtool.txt, uninstall.exe
;   Start menu\ORX      ORX Key Loader, ORX Driver Status (orxtool info), ORX Command
;                       Prompt, Uninstall ORX (fixed names, whatever the language)
;   HKLM                the uninstall entry, and the component entry that orxload's About box
;                       lists (SOFTWARE\DEZURE\Cryptography\ORX)
; Optional, off by default ("/EVALDRIVER" on the command line selects it in a silent run):
;   the emulated ORVEXA driver for evaluation: system folder\drivers\orvexa.sys as the
;   kernel service "orvexa", and its control tool orvexa_ctl.exe in $INSTDIR.
;
; The uninstaller removes exactly these. It never touches the user's settings
; (HKCU\SOFTWARE\DEZURE\Cryptography\orxload) or the seed mask
; (HKCU\SOFTWARE\DEZURE\Cryptography\RANDOM, value "mask"), and it removes the "orvexa"
; service only when this installer created it.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef BIN_DIR
  !error "define BIN_DIR: makensis -DBIN_DIR=<folder with the built binaries>"
!endif
!ifndef OUT_FILE
  !define OUT_FILE "orx-setup.exe"
!endif
!ifndef README_FILE
  !define README_FILE "${__FILEDIR__}/../tools/orxtool/README.md"
!endif

!define PRODUCT "ORX toolkit"
!define VERSION "3.5.259"
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

VIProductVersion "3.5.259.0"
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

; ---------------------------------------------------------------------------------------
Section "!$(SEC_CORE)" SecCore
  SectionIn RO
  SetShellVarContext all

  SetOutPath "$SYSDIR"
  File "${BIN_DIR}/orxload.exe"
  File "${BIN_DIR}/orxlink.dll"
  File "${BIN_DIR}/res409.dll"
  File "${BIN_DIR}/res419.dll"

  SetOutPath "$INSTDIR"
  File "${BIN_DIR}/orxtool.exe"
  File "/oname=orxtool.txt" "${README_FILE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "${MENU_DIR}"
  CreateShortcut "${MENU_DIR}\ORX Key Loader.lnk" "$SYSDIR\orxload.exe"
  CreateShortcut "${MENU_DIR}\ORX Driver Status.lnk" "$SYSDIR\cmd.exe" \
    '/k ""$INSTDIR\orxtool.exe" info"' "$SYSDIR\cmd.exe" 0
  CreateShortcut "${MENU_DIR}\ORX Command Prompt.lnk" "$SYSDIR\cmd.exe" \
    '/k "cd /d "$INSTDIR" && orxtool.exe --help"' "$SYSDIR\cmd.exe" 0
  CreateShortcut "${MENU_DIR}\Uninstall ORX.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "ORX toolkit authors"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\orxload.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegStr HKLM "${COMPONENT_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
SectionEnd

; ---------------------------------------------------------------------------------------
Section /o "$(SEC_EMULATED)" SecEmulated
  SetShellVarContext all
  ${If} ${RunningX64}
    DetailPrint "$(MSG_EMULATED_32BIT)"
    Return
  ${EndIf}
  ; A driver service of that name that this installer did not create is left alone.
  nsExec::ExecToStack '"$SYSDIR\sc.exe" query ${SERVICE}'
  Pop $0
  Pop $ServiceOutput
  ${If} $0 == 0
    DetailPrint "$(MSG_SERVICE_EXISTS)"
    Return
  ${EndIf}

  SetOutPath "$SYSDIR\drivers"
  File "${BIN_DIR}/orvexa.sys"
  SetOutPath "$INSTDIR"
  File "${BIN_DIR}/orvexa_ctl.exe"

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
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecCore} "$(DESC_CORE)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecEmulated} "$(DESC_EMULATED)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/EVALDRIVER" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecEmulated}
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------------------
Section "Uninstall"
  SetShellVarContext all

  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "EmulatedDriver"
  ${If} $0 == 1
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

  Delete "$INSTDIR\orxtool.exe"
  Delete "$INSTDIR\orxtool.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${COMPONENT_KEY}"
  DeleteRegKey /ifempty HKLM "SOFTWARE\DEZURE\Cryptography"
  DeleteRegKey /ifempty HKLM "SOFTWARE\DEZURE"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; HKCU\SOFTWARE\DEZURE\Cryptography\orxload and ...\RANDOM belong to the user: kept.
SectionEnd
