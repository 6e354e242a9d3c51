; The per-user installer: no administrator, the program in the user's own Programs folder, a
; Start-menu entry and an uninstaller registered for the user. /S installs and uninstalls
; silently. Uninstalling removes what was installed and leaves the user's settings.
; makensis -DVERSION=x.y -DFILES=install.nsh -DREMOVE=uninstall.nsh -DVERSION4=x.y.0.0 -DICON=icon.ico -DOUT=setup.exe morvantis.nsi
; (scripts/test-windows writes the two lists from the program folder.)
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
; Drawn at the screen's own scale, not enlarged and blurred by Windows at 150 %.
ManifestDPIAware true
ManifestSupportedOS all
Icon "${ICON}"
UninstallIcon "${ICON}"
VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "Morvantis"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Morvantis setup"
VIAddVersionKey /LANG=1033 "CompanyName" "The Morvantis developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) the Morvantis developers, MIT License"

!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"'
  !finalize '"${SIGN}" "%1"'
!endif

!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvantis"
Name "Morvantis ${VERSION}"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\Morvantis"
; An upgrade goes where the user put the program the first time.
InstallDirRegKey HKCU "${KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Windows replaces or deletes no running program or DLL: the clock there is asked to save its
; settings as EXIT does and end, and nothing is touched unless it has. Status 2 is a clock from
; before --quit, which cannot be asked.
!macro EndTheClock
  ${If} ${FileExists} "$INSTDIR\morvantis.exe"
    ExecWait '"$INSTDIR\morvantis.exe" --quit' $0
    ${If} $0 != 0
    ${AndIf} $0 != 2
      MessageBox MB_OK|MB_ICONSTOP "Morvantis is running and did not end when asked.$\r$\nEnd it with its EXIT button, then try again." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
!macroend

Section
  SetShellVarContext current
  !insertmacro EndTheClock
  !include "${FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Morvantis.lnk" "$INSTDIR\morvantis.exe"
  WriteRegStr HKCU "${KEY}" "DisplayName" "Morvantis"
  WriteRegStr HKCU "${KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${KEY}" "Publisher" "The Morvantis developers"
  WriteRegStr HKCU "${KEY}" "DisplayIcon" "$INSTDIR\morvantis.exe"
  WriteRegStr HKCU "${KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${KEY}" "EstimatedSize" "$0" ; KB, as Apps & features shows it
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  !insertmacro EndTheClock
  !include "${REMOVE}"
  Delete "$SMPROGRAMS\Morvantis.lnk"
  ; A start at logon would name a program that is gone.
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Morvantis"
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run" "Morvantis"
  DeleteRegKey HKCU "${KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
