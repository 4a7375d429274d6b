; Tarnwick's setup program: installs the program for all users into Program Files, adds the Start menu shortcuts
; and the uninstall entry, and writes the uninstaller. Built by cmake/windows.cmake, which passes:
;   VERSION       "3.0"            VERSION_QUAD  "3.0.0.0"
;   OUTFILE       the setup program to write
;   FILES         the folder holding tarnwick.exe, tarnwick-cli.exe and TarnwickUpdate.exe
;   ICON          the program's icon
; Silent use: "TarnwickSetup-3.0.exe /S [/D=C:\Folder]" and "Uninstall.exe /S".

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program's main window class, present while it runs (also when it lives in the notification area only).
!define MAIN_WINDOW_CLASS "TTarnwickForm"

Name "Tarnwick"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tarnwick"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "Tarnwick ${VERSION}"
; The uninstaller's list shows what was kept and where.
ShowUninstDetails show

; The version resource carries no copyright line.
!pragma warning disable 9100
VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "Tarnwick"
VIAddVersionKey /LANG=1033 "CompanyName" "Pellamont"
VIAddVersionKey /LANG=1033 "FileDescription" "Tarnwick Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Tarnwick"
!define MUI_FINISHPAGE_RUN_FUNCTION StartTarnwick

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running Tarnwick holds its files open: the user is asked to exit it first. Silent runs end with exit code 2
; instead, leaving everything as it was.
!macro WAIT_UNTIL_NOT_RUNNING un
Function ${un}WaitUntilNotRunning
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    ${If} $0 == 0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Tarnwick is running. Exit it (right-click its icon in the notification area and choose Exit), then press Retry." \
      /SD IDCANCEL IDRETRY +3
    SetErrorLevel 2
    Quit
  ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_NOT_RUNNING ""
!insertmacro WAIT_UNTIL_NOT_RUNNING "un."

Function .onInit
  SetRegView 64
  Call WaitUntilNotRunning
FunctionEnd

Section "Tarnwick"
  SetRegView 64
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${FILES}\tarnwick.exe"
  File "${FILES}\tarnwick-cli.exe"
  File "${FILES}\TarnwickUpdate.exe"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Tarnwick"
  CreateShortcut "$SMPROGRAMS\Tarnwick\Tarnwick.lnk" "$INSTDIR\tarnwick.exe"
  CreateShortcut "$SMPROGRAMS\Tarnwick\Uninstall Tarnwick.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tarnwick"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pellamont"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarnwick.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The finish page's "Start Tarnwick". The setup already runs elevated, so the program is told (by the marker it
; reads and deletes at start-up) not to ask for elevation a second time.
Function StartTarnwick
  WriteRegStr HKCU "SOFTWARE\Pellamont" "setup" "1"
  Exec '"$INSTDIR\tarnwick.exe"'
FunctionEnd

Function un.onInit
  SetRegView 64
  Call un.WaitUntilNotRunning
FunctionEnd

; The autostart value the options window writes is removed when it starts this copy of the program; a value that
; starts another copy (a portable one, say) is left alone.
Function un.RemoveAutostart
  ReadRegStr $0 HKLM "${RUN_KEY}" "tarnwick.exe"
  ${If} $0 == "$INSTDIR\tarnwick.exe"
  ${OrIf} $0 == '"$INSTDIR\tarnwick.exe"'
    DeleteRegValue HKLM "${RUN_KEY}" "tarnwick.exe"
    DetailPrint "Removed the start with Windows."
  ${EndIf}
FunctionEnd

; The daily scan's work item, when it starts this copy of the program. A work item file holds a fixed-length part
; of 0x44 bytes, a 16-bit running-instance count, then the application name as a 16-bit length in characters
; followed by that many UTF-16LE characters (with the terminating NUL).
Function un.RemoveScheduledScan
  StrCpy $1 "$WINDIR\Tasks\Tarnwick.job"
  ${IfNot} ${FileExists} "$1"
    Return
  ${EndIf}
  ClearErrors
  FileOpen $2 "$1" r
  ${If} ${Errors}
    Return
  ${EndIf}
  FileSeek $2 70 SET
  FileReadWord $2 $3
  FileReadUTF16LE $2 $4 1024
  FileClose $2
  ${If} $4 == "$INSTDIR\tarnwick.exe"
    nsExec::Exec 'schtasks.exe /Delete /TN "Tarnwick" /F'
    Pop $0
    Delete "$1"
    DetailPrint "Removed the scheduled scan."
  ${EndIf}
FunctionEnd

; What the program made beside itself. The last scan's result and the downloaded update file are only the
; program's own and go. The rest is the user's: registry backups, optimizer restore points and the startup
; manager's saved entries (RepairBackup\), full backups (FullBackup\), the ignore list, the disk cleaner's file
; types and the settings. They go only when the user says so; a silent uninstall keeps them.
Function un.RemoveUserFiles
  Delete "$INSTDIR\ScanResult"
  Delete "$INSTDIR\Update.ini"
  ${IfNot} ${FileExists} "$INSTDIR\RepairBackup\*.*"
  ${AndIfNot} ${FileExists} "$INSTDIR\FullBackup\*.*"
  ${AndIfNot} ${FileExists} "$INSTDIR\TarnwickIgnores.dat"
  ${AndIfNot} ${FileExists} "$INSTDIR\JunkFile.dat"
    Return
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "$INSTDIR still holds what you made with Tarnwick: your registry backups and restore points (RepairBackup, FullBackup), your ignore list and your junk file types.$\r$\n$\r$\nDelete them and your Tarnwick settings too? Deleted backups can no longer restore the registry.$\r$\n$\r$\nChoose No to keep them." \
    /SD IDNO IDYES remove
  DetailPrint "Kept your backups and files in $INSTDIR."
  Return
  remove:
  RMDir /r "$INSTDIR\RepairBackup"
  RMDir /r "$INSTDIR\FullBackup"
  Delete "$INSTDIR\TarnwickIgnores.dat"
  Delete "$INSTDIR\JunkFile.dat"
  DeleteRegKey HKCU "Software\Tarnwick"
FunctionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$SMPROGRAMS\Tarnwick\Tarnwick.lnk"
  Delete "$SMPROGRAMS\Tarnwick\Uninstall Tarnwick.lnk"
  RMDir "$SMPROGRAMS\Tarnwick"
  Call un.RemoveAutostart
  Call un.RemoveScheduledScan
  Delete "$INSTDIR\tarnwick.exe"
  Delete "$INSTDIR\tarnwick-cli.exe"
  Delete "$INSTDIR\TarnwickUpdate.exe"
  Delete "$INSTDIR\Uninstall.exe"
  Call un.RemoveUserFiles
  ; Only an empty folder is removed: whatever else is in it stays. A folder that is the current one cannot be.
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
