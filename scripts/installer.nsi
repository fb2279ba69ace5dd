; Windows installer of the program folder. scripts/package.sh passes:
;   VERSION  the release's version text, FILE_VERSION  the same in four parts,
;   SOURCE  the program folder, OUTFILE  the installer's path,
;   UNINSTALL_LIST  an include file that deletes every file and folder SOURCE holds
; A 64-bit installer for a 64-bit program.
Target amd64-unicode

!define TITLE "Tarvik Kelvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${TITLE}"
!define STARTUP_TASK "KELVANE StartupTask"

Name "${TITLE} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${TITLE}"
; An update (the program starts the new installer) goes where the running program lives.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The program comes back by itself at the end; nothing is left to read on the last page.
AutoCloseWindow true
VIProductVersion "${FILE_VERSION}"
VIAddVersionKey "ProductName" "${TITLE}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${TITLE} Setup"
VIAddVersionKey "LegalCopyright" ""

!addincludedir "${__FILEDIR__}"
!include RunningProgram.nsh
!insertmacro RUNNING_PROGRAM_FUNCTIONS ""
!insertmacro RUNNING_PROGRAM_FUNCTIONS "un."

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Program"
  ; A running program or server holds its exe open: end them before anything is copied.
  Call EndRunningProgram
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${TITLE}.lnk" "$INSTDIR\${TITLE}.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${TITLE}.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; The program was ended above; it comes back as it would at logon when installed silently.
  ${If} ${Silent}
    Exec '"$INSTDIR\${TITLE}.exe" -hide'
  ${Else}
    Exec '"$INSTDIR\${TITLE}.exe"'
  ${EndIf}
SectionEnd

; Only what the installer put there goes: the folder may have been chosen by hand.
Section "Uninstall"
  Call un.EndRunningProgram
  ; The program registers its logon task at every start; nothing else would ever remove it.
  nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /TN "${STARTUP_TASK}" /F'
  Pop $0
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${TITLE}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
