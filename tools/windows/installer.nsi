; VarkelChecker's installer: for the user who runs it, without administrator
; rights, into %LOCALAPPDATA%\Programs\VarkelChecker, with a Start menu entry
; and an uninstaller. Run over an installed version it upgrades it in place:
; the same folder, the user's settings (HKCU\Software\Varkel) untouched.
; tools/windows/build.sh runs it:
;   makensis -DVERSION=3.1 -DVERSION4=3.1.0.0 -DSTAGE=<folder of the program> -DOUTFILE=<setup.exe>
;            -DICON=<varkelchecker.ico> installer.nsi
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define APP "VarkelChecker"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "Software\${APP}" "InstallDir"

; The installer's own version resource, and the program's icon.
VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${APP} ${VERSION} Setup"
VIAddVersionKey "CompanyName" "${APP}"
VIAddVersionKey "LegalCopyright" "The ${APP} developers"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

; The version found installed (empty when there is none) and the welcome text.
Var Installed
Var WelcomeText

!define MUI_WELCOMEPAGE_TITLE "${APP} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "$WelcomeText"
!insertmacro MUI_PAGE_WELCOME
; An upgrade goes into the folder of the installed version: no folder to choose.
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipFolderOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\varkelchecker.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
  ReadRegStr $Installed HKCU "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $Installed == ""
    StrCpy $WelcomeText "Setup will install ${APP} ${VERSION} for you (no administrator rights needed).$\r$\n$\r$\nClick Next to continue."
  ${Else}
    StrCpy $WelcomeText "${APP} $Installed is installed in $INSTDIR.$\r$\n$\r$\nSetup will upgrade it to ${APP} ${VERSION} in the same folder; your settings are kept.$\r$\n$\r$\nClick Next to continue."
  ${EndIf}
FunctionEnd

Function SkipFolderOnUpgrade
  ${If} $Installed != ""
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "VarkelChecker"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\varkelchecker.exe" "" "$INSTDIR\varkelchecker.exe" 0
  WriteRegStr HKCU "Software\${APP}" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP} ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\varkelchecker.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${APP}.lnk"
  ; Only what the installer put there; files the user added (memo*.ini) stay.
  Delete "$INSTDIR\varkelchecker.exe"
  Delete "$INSTDIR\varkel-reader.exe"
  Delete "$INSTDIR\Qt6*.dll"
  Delete "$INSTDIR\lib*.dll"
  Delete "$INSTDIR\varkeldt.mdb"
  Delete "$INSTDIR\cty.csv"
  Delete "$INSTDIR\cty-copyright.txt"
  Delete "$INSTDIR\README.txt"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\${APP}"
SectionEnd
