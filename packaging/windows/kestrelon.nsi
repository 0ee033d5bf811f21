; Kestrelon's installer, built by packaging/build-windows.sh with makensis:
;   makensis -DVERSION=0.3 -DSTAGE=<staged game> -DICON=<.ico> -DOUTFILE=<setup.exe>
;            -DUNINSTALL_FILES=<Delete and RMDir lines for what STAGE holds>
; For the player alone, without administrator rights: the game goes to
; %LOCALAPPDATA%\Programs\Kestrelon, a Start-menu entry and an entry in
; "Apps and features" are made. The game keeps the player's scores and
; screenshots in %LOCALAPPDATA%\Kestrelon, which the uninstaller leaves.
; /S installs (and uninstalls) silently.

; A 64-bit installer for the 64-bit game (a 64-bit Windows may lack the
; 32-bit subsystem: Wine without wine32 does).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrelon"

Name "Kestrelon ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kestrelon"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Kestrelon ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Kestrelon"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Kestrelon ${VERSION} installer"
VIAddVersionKey "CompanyName" "The Kestrelon team"
VIAddVersionKey "LegalCopyright" "Copyright 2026 The Kestrelon team"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\kestrelon.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Play Kestrelon now"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Kestrelon"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  ; The game reads this mark: installed, it keeps the player's files in
  ; %LOCALAPPDATA%\Kestrelon instead of beside itself.
  FileOpen $0 "$INSTDIR\kestrelon.installed" w
  FileWrite $0 "Installed by Kestrelon's installer: your scores and screenshots are in %LOCALAPPDATA%\Kestrelon.$\r$\n"
  FileClose $0

  ; The shortcut starts the game in its own folder, with its icon.
  CreateShortcut "$SMPROGRAMS\Kestrelon.lnk" "$INSTDIR\kestrelon.exe" "" "$INSTDIR\kestrelon.exe" 0

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kestrelon"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Kestrelon team"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kestrelon.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; What the installer put there goes, file by file; anything else in the
; folder stays, and so does the folder then. The player's own files are
; elsewhere and are not touched.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Kestrelon.lnk"
!include "${UNINSTALL_FILES}"
  Delete "$INSTDIR\kestrelon.installed"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
