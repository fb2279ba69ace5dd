; Windows installer of the program folder. scripts/package.sh passes:
;   VERSION  the release's version text, FILE_VERSION  the same in four parts,
;   SOURCE  the program folder, OUTFILE  the installer's path
; A 64-bit installer for a 64-bit program.
Target amd64-unicode

!define TITLE "Tarvik Kelvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${TITLE}"

Name "${TITLE} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${TITLE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${FILE_VERSION}"
VIAddVersionKey "ProductName" "${TITLE}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${TITLE} Setup"
VIAddVersionKey "LegalCopyright" ""

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Program"
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${TITLE}.lnk" "$INSTDIR\${TITLE}.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${TITLE}.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes: the folder may have been chosen by hand.
Section "Uninstall"
  Delete "$INSTDIR\${TITLE}.exe"
  Delete "$INSTDIR\Tessel.dll"
  Delete "$INSTDIR\hidapi.dll"
  RMDir /r "$INSTDIR\skins"
  RMDir /r "$INSTDIR\HardwareMonitor"
  RMDir /r "$INSTDIR\HardwareMonitorWin7"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${TITLE}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
