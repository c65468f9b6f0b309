; A real x64 NSIS installer whose uninstall the tests run (the samples stay installed for other
; tests). Like many programs, its settings file outlives the uninstall: the folder stays behind.
Unicode true
Target amd64-unicode
!ifndef OUTFILE
  !define OUTFILE "plover-sketch-setup.exe"
!endif
!ifndef PAYLOAD
  !error "PAYLOAD must name the program to install"
!endif
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ArdmoorPloverSketch"

Name "Plover Sketch"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Plover Sketch"
RequestExecutionLevel admin

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetRegView 64
  SetOutPath "$INSTDIR"
  File "/oname=plover.exe" "${PAYLOAD}"
  FileOpen $0 "$INSTDIR\plover.ini" w
  FileWrite $0 "[Sketch]$\r$\nLastFile=$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "Plover Sketch"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "1.0.3"
  WriteRegStr HKLM "${UNINSTKEY}" "Publisher" "Plover Graphics"
  WriteRegStr HKLM "${UNINSTKEY}" "InstallLocation" "$INSTDIR\"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\plover.exe,0"
  WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

Section "Uninstall"
  SetRegView 64
  Delete "$INSTDIR\plover.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTKEY}"
SectionEnd
