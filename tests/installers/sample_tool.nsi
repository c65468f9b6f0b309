; A real x64 NSIS installer for the tests and the demo: installs one program and writes its
; uninstall entry with the values a typical installer leaves.
Unicode true
Target amd64-unicode
!ifndef OUTFILE
  !define OUTFILE "ardmoor-sample-tool-setup.exe"
!endif
!ifndef PAYLOAD
  !error "PAYLOAD must name the program to install"
!endif
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ArdmoorSampleTool"

Name "Heron Notes"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Heron Notes"
RequestExecutionLevel admin
SilentInstall normal

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetRegView 64
  SetOutPath "$INSTDIR"
  File "/oname=heronnotes.exe" "${PAYLOAD}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "Heron Notes"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "2.4.1"
  WriteRegStr HKLM "${UNINSTKEY}" "Publisher" "Heron Software Ltd"
  WriteRegStr HKLM "${UNINSTKEY}" "HelpTelephone" "+44 20 7946 0000"
  WriteRegStr HKLM "${UNINSTKEY}" "URLInfoAbout" "https://heron.example/notes"
  WriteRegStr HKLM "${UNINSTKEY}" "HelpLink" "https://heron.example/help"
  WriteRegStr HKLM "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\heronnotes.exe,0"
  WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTKEY}" "VersionMajor" 2
  WriteRegDWORD HKLM "${UNINSTKEY}" "VersionMinor" 4
SectionEnd

Section "Uninstall"
  SetRegView 64
  Delete "$INSTDIR\heronnotes.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTKEY}"
SectionEnd
