; Ending a running program and its sensor servers before files are replaced or removed: a running
; exe cannot be overwritten or deleted, and the program's tray Exit leaves its server running on
; purpose. Both the installer and the uninstaller need this, and NSIS wants an "un." copy of every
; function the uninstaller calls, so the functions are written once as a macro.
; Needs TITLE; uses only the System plugin.

!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PROGRAM_EXE "${TITLE}.exe"
!define SERVER_EXE "ThermivoxServer.exe"
!define SERVER_FOLDERS "HardwareMonitor HardwareMonitorWin7"
!define ID_TRAY_EXIT 100
; How long the program may take to leave after being asked, before it is ended by force.
!define CLOSE_WAIT_MS 10000
!define SYNCHRONIZE 0x00100000
!define PROCESS_TERMINATE 0x0001
!define PROCESS_QUERY_LIMITED_INFORMATION 0x1000

!macro SAVE_REGISTERS
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
!macroend

!macro RESTORE_REGISTERS
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
!macroend

!macro RUNNING_PROGRAM_FUNCTIONS UN

; Whether a copy of the program holds its single-instance mutex. Pushes 1 or 0.
Function ${UN}ProgramMutexExists
  Push $0
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${TITLE}") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Exch $0
FunctionEnd

; Ends one process by id and waits for it to go. Takes the id from the stack.
Function ${UN}EndProcessId
  Exch $0
  Push $1
  System::Call 'kernel32::OpenProcess(i ${PROCESS_TERMINATE}|${SYNCHRONIZE}, i 0, i r0) p .r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::TerminateProcess(p r1, i 1)'
    System::Call 'kernel32::WaitForSingleObject(p r1, i 5000)'
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; The full image path of a process, or "" when it cannot be read. Takes the id, pushes the path.
Function ${UN}ImagePathOf
  Exch $0
  Push $1
  Push $2
  StrCpy $2 ""
  System::Call 'kernel32::OpenProcess(i ${PROCESS_QUERY_LIMITED_INFORMATION}, i 0, i r0) p .r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::QueryFullProcessImageNameW(p r1, i 0, w .r2, *i ${NSIS_MAX_STRLEN}) i .r0'
    ${If} $0 = 0
      StrCpy $2 ""
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  StrCpy $0 $2
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Ends every process whose image file is the given path (compared without regard to case).
; Takes the path from the stack.
Function ${UN}EndProcessesAt
  Exch $0
  !insertmacro SAVE_REGISTERS
  StrCpy $7 $0
  System::Alloc 32768
  Pop $1
  System::Call 'kernel32::K32EnumProcesses(p r1, i 32768, *i .r2) i .r3'
  ${If} $3 <> 0
    StrCpy $3 0
    ${DoWhile} $3 < $2
      IntPtrOp $4 $1 + $3
      System::Call '*$4(i .r5)'
      ${If} $5 <> 0
        Push $5
        Call ${UN}ImagePathOf
        Pop $6
        ${If} $6 == $7
          Push $5
          Call ${UN}EndProcessId
        ${EndIf}
      ${EndIf}
      IntOp $3 $3 + 4
    ${Loop}
  ${EndIf}
  System::Free $1
  !insertmacro RESTORE_REGISTERS
  Pop $0
FunctionEnd

; Ends the sensor servers of both families in the given folder. Takes the folder from the stack.
Function ${UN}EndServersIn
  Exch $0
  Push "$0\HardwareMonitor\${SERVER_EXE}"
  Call ${UN}EndProcessesAt
  Push "$0\HardwareMonitorWin7\${SERVER_EXE}"
  Call ${UN}EndProcessesAt
  Pop $0
FunctionEnd

; Asks a running program to leave the way its tray Exit does, waits for its mutex to go and ends it
; by force when it does not; then ends the sensor servers of $INSTDIR and of the folder the
; program ran from.
Function ${UN}EndRunningProgram
  !insertmacro SAVE_REGISTERS
  StrCpy $1 0  ; the program's process id, when its window was found
  StrCpy $6 "" ; the folder it ran from
  Call ${UN}ProgramMutexExists
  Pop $0
  ${If} $0 = 1
    ; The main window carries a property named after the program title.
    StrCpy $0 0
    ${Do}
      FindWindow $0 "" "" 0 $0
      ${If} $0 = 0
        ${Break}
      ${EndIf}
      System::Call 'user32::GetPropW(p r0, w "${TITLE}") p .r2'
      ${If} $2 P<> 0
        ${Break}
      ${EndIf}
    ${Loop}
    ${If} $0 P<> 0
      ; Its folder is read while it still runs: its servers there must go too.
      System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
      Push $1
      Call ${UN}ImagePathOf
      Pop $6
      ${If} $6 != ""
        ${GetParent} $6 $6
      ${EndIf}
      System::Call 'user32::PostMessageW(p r0, i ${WM_COMMAND}, p ${ID_TRAY_EXIT}, p 0)'
    ${EndIf}

    StrCpy $3 0
    ${Do}
      Call ${UN}ProgramMutexExists
      Pop $0
      ${If} $0 = 0
      ${OrIf} $3 >= ${CLOSE_WAIT_MS}
        ${Break}
      ${EndIf}
      Sleep 200
      IntOp $3 $3 + 200
    ${Loop}
    ${If} $0 = 1
      DetailPrint "The running program did not leave when asked; ending it."
      ${If} $1 <> 0
        Push $1
        Call ${UN}EndProcessId
      ${EndIf}
      Push "$INSTDIR\${PROGRAM_EXE}"
      Call ${UN}EndProcessesAt
    ${EndIf}
  ${EndIf}

  Push $INSTDIR
  Call ${UN}EndServersIn
  ${If} $6 != ""
  ${AndIf} $6 != $INSTDIR
    Push $6
    Call ${UN}EndServersIn
  ${EndIf}
  !insertmacro RESTORE_REGISTERS
FunctionEnd

!macroend
