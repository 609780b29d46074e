; Spotlex installer: per-user without administrator rights, for all users when run elevated.
; Built by the build (target `installer`) through scripts/make-installer.sh; every input comes in as
; a define: VERSION, BIN64 and BIN32 (the two builds' bin folders), ASSETS, OUTFILE; CURSORS and
; CLOCK when those files exist; TARGET and ONLY64 for the 64-bit installer of the 64-bit program.
;
; Command line: /S silent, /D=folder, /ALLUSERS (needs an elevated run). Without /D= an upgrade goes
; into the folder of the installation it finds.
; Uninstaller: /S silent, /REMOVESETTINGS also removes the presenter's settings.
;
; Exit codes: 0 installed; 3010 installed, and the font in use is replaced when Windows restarts;
; 2 stopped by a failure (what it had put in place is gone, an earlier installation is kept);
; 4 Spotlex is running and did not close; 5 needs administrator rights. Each run writes what it did
; to "%TEMP%\Spotlex Setup.log".

!ifdef TARGET
  Target ${TARGET}
!else
  Unicode true
!endif
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh
!include MUI2.nsh

!define PRODUCT "Spotlex"
!define PUBLISHER "Parvane"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Spotlex"
!define SUITE_KEY "Software\Parvane\Classkit\4.5"
!define FONTS_KEY "Software\Microsoft\Windows NT\CurrentVersion\Fonts"
!define FONT_VALUE "Spotlex2 (TrueType)"
!define SCHEMES_KEY "Control Panel\Cursors\Schemes"
!define EVENTS_KEY "AppEvents\Schemes\Apps\Classkit"
!define MAIN_WINDOW_CLASS "SpotlexMain"
!define SINGLE_COPY_MUTEX "Local\Parvane.Classkit.Spotlex.SingleCopy"
!define SPI_SETCURSORS 87
!define SYSTEM_SCHEMES_KEY "Software\Microsoft\Windows\CurrentVersion\Control Panel\Cursors\Schemes"
; Where a new font waits while Windows holds the installed one open.
!define FONT_NEXT "Spotlex2.next.ttf"
; The sound events of an all-users install, which every user's Spotlex falls back on.
!define MACHINE_SOUNDS_KEY "${SUITE_KEY}\Sounds"
!define ERROR_ACCESS_DENIED 5

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
InstallDir "$LOCALAPPDATA\Programs\Parvane\Classkit"
ShowInstDetails nevershow
ShowUninstDetails nevershow
AllowSkipFiles off

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ASSETS}\icons\spotlex.ico"
!define MUI_UNICON "${ASSETS}\icons\spotlex.ico"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Spotlex now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartInstalledProgram
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\help\index.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Open the user guide"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var AllUsers        ; 1 when installing for every user of the machine
Var Installed       ; 1 once the first file is in place, so a failure knows to clean up
Var Previous        ; 1 when an installation was there before this run: a failure never removes it
Var Step            ; what the install is doing, for the log when it fails

; The 14 cursor roles in the order of a scheme list, and the file of each.
!macro ForEachCursor DO
  !insertmacro ${DO} Arrow
  !insertmacro ${DO} Help
  !insertmacro ${DO} AppStarting
  !insertmacro ${DO} Wait
  !insertmacro ${DO} Crosshair
  !insertmacro ${DO} IBeam
  !insertmacro ${DO} NWPen
  !insertmacro ${DO} No
  !insertmacro ${DO} SizeNS
  !insertmacro ${DO} SizeWE
  !insertmacro ${DO} SizeNWSE
  !insertmacro ${DO} SizeNESW
  !insertmacro ${DO} SizeAll
  !insertmacro ${DO} UpArrow
!macroend

; The suite's sound events with the labels the Sounds control panel shows.
!macro ForEachSound DO
  !insertmacro ${DO} CKStartUp StartUp "Spotlex Start"
  !insertmacro ${DO} CKClose Close "Spotlex Close"
  !insertmacro ${DO} CKKeystroke Keystroke "Spotlex Keystroke Shown"
  !insertmacro ${DO} CKClick Click "Spotlex Mouse Click Shown"
  !insertmacro ${DO} CKAlarm Alarm "Spotlex Break Clock Alarm"
  !insertmacro ${DO} CKDragStart DragStart "Spotlex Drag Start"
  !insertmacro ${DO} CKDragEnd DragEnd "Spotlex Drag End"
  !insertmacro ${DO} CKAbout About "Spotlex About Box"
!macroend

; One line to the setup log (UTF-16, as Notepad reads it) and to the details.
!macro SetupLog TEXT
  DetailPrint "${TEXT}"
  Push "${TEXT}"
  Call WriteSetupLog
!macroend
!define SetupLog "!insertmacro SetupLog"
Function WriteSetupLog
  Exch $0
  Push $1
  ClearErrors
  FileOpen $1 "$TEMP\Spotlex Setup.log" a
  ${IfNot} ${Errors}
    FileSeek $1 0 END
    FileWriteUTF16LE $1 "$0$\r$\n"
    FileClose $1
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Asks a running Spotlex to close (it saves its settings and puts the cursors back on the way) and
; waits until its process has gone, which its single-copy mutex tells even where its window cannot
; be found (another desktop); $0 is 1 when none runs any more.
!macro CloseRunningCopy UN
Function ${UN}CloseRunningCopy
  StrCpy $0 1
  FindWindow $1 "${MAIN_WINDOW_CLASS}"
  ${If} $1 != 0
    SendMessage $1 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  ${EndIf}
  ${For} $2 1 50
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${SINGLE_COPY_MUTEX}") p .r3 ?e'
    Pop $4
    ; A copy started elevated keeps its mutex from a normal run: it is there all the same.
    ${If} $3 == 0
    ${AndIf} $4 != ${ERROR_ACCESS_DENIED}
      ${If} $1 != 0
        ; Closed from outside, it leaves itself a restart entry, which would start a removed program.
        DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\RunOnce" "Spotlex"
      ${EndIf}
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r3)'
    Sleep 100
  ${Next}
  StrCpy $0 0
FunctionEnd
!macroend
!insertmacro CloseRunningCopy ""
!insertmacro CloseRunningCopy "un."

Function .onInit
  StrCpy $AllUsers 0
  ; The per-user default, taken before the shell folders may switch to all users.
  StrCpy $R9 "$LOCALAPPDATA\Programs\Parvane\Classkit"
  ; A folder given with /D= stands; otherwise an upgrade goes where the installation is.
  StrCpy $R8 0
  ${IfThen} $INSTDIR != $R9 ${|} StrCpy $R8 1 ${|}
  Delete "$TEMP\Spotlex Setup.log"
  ${SetupLog} "Spotlex ${VERSION} setup: $CMDLINE"
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    UserInfo::GetAccountType
    Pop $R1
    ${If} $R1 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "Installing for all users needs administrator rights. Run Setup as administrator, or without /ALLUSERS to install for yourself." /SD IDOK
      ${SetupLog} "Installing for all users needs administrator rights: exit code 5."
      SetErrorLevel 5
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
  ${Else}
    UserInfo::GetAccountType
    Pop $R1
    ${If} $R1 == "Admin"
    ${AndIfNot} ${Silent}
      MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Install Spotlex for all users of this computer?$\n$\nChoose No to install it for you only." IDNO +2
      StrCpy $AllUsers 1
    ${EndIf}
  ${EndIf}
  ${If} $AllUsers == 1
    SetShellVarContext all
    ${If} ${RunningX64}
      SetRegView 64
      ${IfThen} $R8 == 0 ${|} StrCpy $INSTDIR "$PROGRAMFILES64\Parvane\Classkit" ${|}
    ${ElseIf} $R8 == 0
      StrCpy $INSTDIR "$PROGRAMFILES\Parvane\Classkit"
    ${EndIf}
  ${Else}
    SetShellVarContext current
    ${IfThen} ${RunningX64} ${|} SetRegView 64 ${|}
  ${EndIf}
  ${If} $R8 == 0
    ReadRegStr $R0 SHCTX "${UNINST_KEY}" "InstallLocation"
    ${If} $R0 != ""
      StrCpy $INSTDIR $R0
      ${SetupLog} "Spotlex is installed in $INSTDIR: this setup updates it there."
    ${EndIf}
  ${EndIf}
FunctionEnd

; "Start Spotlex now" starts it as the signed-in user. An elevated setup (all users, or run as
; administrator, perhaps with a helpdesk account) hands the start to the running shell, which
; starts it unelevated in the user's own session; otherwise it starts it directly.
Function StartInstalledProgram
  UserInfo::GetAccountType
  Pop $R0
  ${If} $R0 == "Admin"
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\Spotlex.exe"'
  ${Else}
    Exec '"$INSTDIR\Spotlex.exe"'
  ${EndIf}
FunctionEnd

; The folder must be writable, and no "," may be in it: the cursor scheme lists files with ",".
Function CheckFolder
  StrCpy $R0 0
  StrLen $R2 $INSTDIR
  ${For} $R1 0 $R2
    StrCpy $R3 $INSTDIR 1 $R1
    ${IfThen} $R3 == "," ${|} StrCpy $R0 1 ${|}
  ${Next}
  ${If} $R0 == 1
    MessageBox MB_OK|MB_ICONEXCLAMATION 'The folder "$INSTDIR" has a comma in its name. Choose a folder without one.' /SD IDOK
    Abort
  ${EndIf}
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $R0 "$INSTDIR\spotlex-setup.tmp" w
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONEXCLAMATION 'Setup cannot write to "$INSTDIR". Choose a folder you may write to.' /SD IDOK
    Abort
  ${EndIf}
  FileClose $R0
  Delete "$INSTDIR\spotlex-setup.tmp"
FunctionEnd

; The scheme's list of 14 paths outgrows an installer string (1024 characters) in a deep folder,
; so it is put together in a buffer of its own ($R9) and written from there.
!macro InstallCursor ROLE
  SetOutPath "$INSTDIR\cursors"
  File "${BIN64}\cursors\Spotlex_${ROLE}.cur"
  System::Call 'kernel32::lstrlenW(p R9) i .R8'
  ${If} $R8 != 0
    System::Call 'kernel32::lstrcatW(p R9, w ",")'
  ${EndIf}
  System::Call 'kernel32::lstrcatW(p R9, w "$INSTDIR\cursors\Spotlex_${ROLE}.cur")'
!macroend

!macro InstallSound EVENT FILE LABEL
  SetOutPath "$INSTDIR\sounds"
  File "${BIN64}\Spotlex_${FILE}.wav"
  ${If} $AllUsers == 1
    WriteRegStr HKLM "${MACHINE_SOUNDS_KEY}" "${EVENT}" "$INSTDIR\sounds\Spotlex_${FILE}.wav"
  ${Else}
    Call RegisterUserSound${EVENT}
  ${EndIf}
!macroend
!macro RegisterUserSound EVENT FILE LABEL
Function RegisterUserSound${EVENT}
  WriteRegStr HKCU "AppEvents\EventLabels\${EVENT}" "" "${LABEL}"
  ; A sound the presenter chose in the control panel stays, unless its file is gone.
  ReadRegStr $R0 HKCU "${EVENTS_KEY}\${EVENT}\.Current" ""
  ReadRegStr $R1 HKCU "${EVENTS_KEY}\${EVENT}\.Default" ""
  ${If} $R0 == ""
  ${OrIf} $R0 == $R1
  ${OrIfNot} ${FileExists} "$R0"
    WriteRegStr HKCU "${EVENTS_KEY}\${EVENT}\.Current" "" "$INSTDIR\sounds\Spotlex_${FILE}.wav"
  ${EndIf}
  WriteRegStr HKCU "${EVENTS_KEY}\${EVENT}\.Default" "" "$INSTDIR\sounds\Spotlex_${FILE}.wav"
FunctionEnd
!macroend
!insertmacro ForEachSound RegisterUserSound

; Whether two files hold the same bytes: pops two paths, pushes 1 or 0 (0 when either is missing).
Function SameFileBytes
  Exch $1
  Exch
  Exch $0
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  Push $9
  StrCpy $7 0
  ClearErrors
  FileOpen $2 $0 r
  ${IfNot} ${Errors}
    FileOpen $3 $1 r
    ${IfNot} ${Errors}
      FileSeek $2 0 END $4
      FileSeek $3 0 END $5
      ${If} $4 == $5
        FileSeek $2 0 SET
        FileSeek $3 0 SET
        System::Alloc 65536
        Pop $8
        System::Alloc 65536
        Pop $9
        StrCpy $7 1
        ${Do}
          System::Call 'kernel32::ReadFile(p r2, p r8, i 65536, *i .r4, p 0) i .r6'
          ${IfThen} $6 == 0 ${|} StrCpy $7 0 ${|}
          System::Call 'kernel32::ReadFile(p r3, p r9, i 65536, *i .r5, p 0) i .r6'
          ${IfThen} $6 == 0 ${|} StrCpy $7 0 ${|}
          ${IfThen} $4 != $5 ${|} StrCpy $7 0 ${|}
          ${If} $7 == 0
          ${OrIf} $4 == 0
            ${Break}
          ${EndIf}
          System::Call 'msvcrt::memcmp(p r8, p r9, p r4) i .r6'
          ${If} $6 != 0
            StrCpy $7 0
            ${Break}
          ${EndIf}
        ${Loop}
        System::Free $8
        System::Free $9
      ${EndIf}
      FileClose $3
    ${EndIf}
    FileClose $2
  ${EndIf}
  StrCpy $0 $7
  Pop $9
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Puts the font in the fonts folder $R0 and leaves in $R1 the file name to register. An unchanged
; font is left alone. Windows holds a registered font open from the sign-in on, so a changed one
; that cannot be written waits beside it as ${FONT_NEXT}: renamed over it when Windows restarts,
; or, where this user may not schedule that, registered under that name for the next sign-in.
Function InstallFont
  StrCpy $R1 "Spotlex2.ttf"
  CreateDirectory "$R0"
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "${BIN64}\Spotlex2.ttf"
  SetOutPath "$INSTDIR"
  Push "$PLUGINSDIR\Spotlex2.ttf"
  Push "$R0\Spotlex2.ttf"
  Call SameFileBytes
  Pop $R2
  ${If} $R2 == 1
    ; A font left waiting by an earlier run is no longer needed.
    Delete "$R0\${FONT_NEXT}"
    Return
  ${EndIf}
  System::Call 'kernel32::CopyFileW(w "$PLUGINSDIR\Spotlex2.ttf", w "$R0\Spotlex2.ttf", i 0) i .R2'
  ${If} $R2 != 0
    Delete "$R0\${FONT_NEXT}"
    Return
  ${EndIf}
  System::Call 'kernel32::CopyFileW(w "$PLUGINSDIR\Spotlex2.ttf", w "$R0\${FONT_NEXT}", i 0) i .R2'
  ${If} $R2 == 0
    ${SetupLog} "The font $R0\Spotlex2.ttf is in use and no new copy could be put beside it."
    Abort "The font Spotlex2 is in use and could not be replaced."
  ${EndIf}
  ; MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT
  System::Call 'kernel32::MoveFileExW(w "$R0\${FONT_NEXT}", w "$R0\Spotlex2.ttf", i 5) i .R2'
  ${If} $R2 != 0
    SetRebootFlag true
    ${SetupLog} "The font $R0\Spotlex2.ttf is in use: the new one takes its place when Windows restarts. Until then Spotlex uses the copy in its own folder."
  ${Else}
    StrCpy $R1 "${FONT_NEXT}"
    ${SetupLog} "The font $R0\Spotlex2.ttf is in use: the new one is registered as ${FONT_NEXT} and takes effect at the next sign-in."
  ${EndIf}
FunctionEnd

Section "Spotlex"
  Call CloseRunningCopy
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONEXCLAMATION "Spotlex is running and did not close. Close it from its icon in the taskbar tray, then run Setup again." /SD IDOK
    ${SetupLog} "Spotlex is running and did not close: exit code 4."
    SetErrorLevel 4
    Abort
  ${EndIf}
  ; Checked again here for a silent install, which shows no folder page.
  Call CheckFolder

  ; An installation already there, here or in another folder (the registrations are shared), is
  ; never taken away by a failure of this run.
  StrCpy $Previous 0
  ReadRegStr $R0 HKCU "${UNINST_KEY}" "InstallLocation"
  ReadRegStr $R1 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $R0 != ""
  ${OrIf} $R1 != ""
    StrCpy $Previous 1
  ${ElseIf} ${FileExists} "$INSTDIR\Spotlex.exe"
  ${AndIfNot} ${FileExists} "$INSTDIR\Spotlex.exe\*.*"
    StrCpy $Previous 1
  ${EndIf}

  StrCpy $Step "copying the program's files"
  SetOutPath "$INSTDIR"
  StrCpy $Installed 1
  SetOverwrite on
  !ifdef ONLY64
    File "${BIN64}\Spotlex.exe"
    !ifdef CLOCK
      File "${BIN64}\SpotlexClock.exe"
    !endif
  !else
    ${If} ${RunningX64}
      File "${BIN64}\Spotlex.exe"
      !ifdef CLOCK
        File "${BIN64}\SpotlexClock.exe"
      !endif
    ${Else}
      File "${BIN32}\Spotlex.exe"
      !ifdef CLOCK
        File /nonfatal "${BIN32}\SpotlexClock.exe"
      !endif
    ${EndIf}
  !endif
  File "${BIN64}\ckicons.icl"
  ; Kept beside the program as well: it loads its font privately when the installed one is missing.
  File "${BIN64}\Spotlex2.ttf"
  SetOutPath "$INSTDIR\help"
  File /r "${ASSETS}\help\*.*"
  SetOutPath "$INSTDIR"

  ; The font, for this user or for the machine, in effect from the next logon; until then the
  ; program loads the copy beside it. Not added to the running session: Wine then shows the
  ; symbol font's family under a garbled name to every later process, and the displays fail.
  StrCpy $Step "installing the font"
  ${If} $AllUsers == 1
    StrCpy $R0 "$FONTS"
    Call InstallFont
    WriteRegStr HKLM "${FONTS_KEY}" "${FONT_VALUE}" "$R1"
  ${Else}
    StrCpy $R0 "$LOCALAPPDATA\Microsoft\Windows\Fonts"
    Call InstallFont
    WriteRegStr HKCU "${FONTS_KEY}" "${FONT_VALUE}" "$R0\$R1"
  ${EndIf}
  SetOutPath "$INSTDIR"

  ; The large cursor scheme: the control panel lists it, and View Large Cursors applies it. For all
  ; users it is the machine's scheme, which every user's Spotlex and control panel find.
  StrCpy $Step "registering the cursor scheme"
  !ifdef CURSORS
    ; Room for 14 paths of MAX_PATH characters and their commas, zeroed.
    System::Call '*(&w3700) p .R9'
    !insertmacro ForEachCursor InstallCursor
    System::Call 'kernel32::lstrlenW(p R9) i .R8'
    IntOp $R8 $R8 + 1
    IntOp $R8 $R8 * 2
    ${If} $AllUsers == 1
      ; KEY_WRITE, with KEY_WOW64_64KEY where the 64-bit program reads it.
      StrCpy $R6 0x20006
      ${IfThen} ${RunningX64} ${|} IntOp $R6 $R6 | 0x100 ${|}
      System::Call 'advapi32::RegCreateKeyExW(p 0x80000002, w "${SYSTEM_SCHEMES_KEY}", i 0, p 0, i 0, i R6, p 0, *p .R5, p 0) i .R7'
      ${If} $R7 == 0
        System::Call 'advapi32::RegSetValueExW(p R5, w "Spotlex", i 0, i 1, p R9, i R8) i .R7'
        System::Call 'advapi32::RegCloseKey(p R5)'
      ${EndIf}
    ${Else}
      System::Call 'advapi32::RegSetKeyValueW(p 0x80000001, w "${SCHEMES_KEY}", w "Spotlex", i 1, p R9, i R8) i .R7'
    ${EndIf}
    System::Free $R9
    ${If} $R7 != 0
      Abort "The large cursor scheme could not be registered (error $R7)."
    ${EndIf}
  !endif

  ; The suite's section of the Sounds control panel, for a per-user install. For all users the
  ; sounds are the machine's: every user's Spotlex plays them while that user has no section of
  ; their own, and the uninstaller takes them all away again.
  StrCpy $Step "registering the sounds"
  ${IfThen} $AllUsers != 1 ${|} WriteRegStr HKCU "${EVENTS_KEY}" "" "Classkit" ${|}
  !insertmacro ForEachSound InstallSound
  SetOutPath "$INSTDIR"

  ; Where the suite is installed: the machine key when elevated, else its per-user mirror.
  ${If} $AllUsers == 1
    WriteRegStr HKLM "${SUITE_KEY}\General" "Path" "$INSTDIR"
  ${Else}
    WriteRegStr HKCU "${SUITE_KEY}\General" "Path" "$INSTDIR"
  ${EndIf}

  StrCpy $Step "writing the shortcut and the uninstaller"
  CreateShortcut "$SMPROGRAMS\Spotlex.lnk" "$INSTDIR\Spotlex.exe" "" "$INSTDIR\Spotlex.exe" 0 \
    SW_SHOWNORMAL "" "Shows your key presses, clicks and a break clock to your audience"

  WriteUninstaller "$INSTDIR\Uninstall Spotlex.exe"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "Spotlex"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Spotlex.exe,0"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall Spotlex.exe"'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall Spotlex.exe" /S'
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

Function .onInstSuccess
  ${SetupLog} "Spotlex ${VERSION} is installed in $INSTDIR."
  ${If} ${RebootFlag}
    ; ERROR_SUCCESS_REBOOT_REQUIRED, as installers report it.
    SetErrorLevel 3010
    ${SetupLog} "Restart Windows to finish: exit code 3010."
  ${EndIf}
FunctionEnd

; A failed or cancelled install takes away what it put in place, but never an installation that
; was there before it started.
Function .onInstFailed
  ${If} $Installed != 1
    ${SetupLog} "Setup stopped before it changed anything."
  ${ElseIf} $Previous == 1
    ${SetupLog} "Setup stopped while $Step. The installation that was there before is kept and still starts; run Setup again once nothing holds its files."
  ${Else}
    ${SetupLog} "Setup stopped while $Step, and took away what it had put in place."
    Call RemoveInstalled
  ${EndIf}
FunctionEnd

;---------------------------------------------------------------------------------------------------
; Removal, shared by the uninstaller and a failed install.

; Puts the cursor scheme in force before back when the large one is on, as the Mouse control panel
; would: the remembered scheme from the user's schemes, else the system's; "Windows Default" stored
; nowhere means the built-in cursors (empty roles).
!macro RestoreCursorRole ROLE
  ${If} $R8 == ""
    WriteRegStr HKCU "Control Panel\Cursors" "${ROLE}" ""
  ${Else}
    Call ${NEXTPART}
    WriteRegExpandStr HKCU "Control Panel\Cursors" "${ROLE}" "$R7"
  ${EndIf}
!macroend

!macro RemovalFunctions UN
; Takes the part of $R6 before the first "," into $R7 and leaves the rest in $R6.
Function ${UN}NextListPart
  StrCpy $R7 ""
  StrCpy $R5 0
  ${Do}
    StrCpy $R4 $R6 1 $R5
    ${If} $R4 == ""
      StrCpy $R7 $R6
      StrCpy $R6 ""
      ${Break}
    ${EndIf}
    ${If} $R4 == ","
      StrCpy $R7 $R6 $R5
      IntOp $R5 $R5 + 1
      StrCpy $R6 $R6 "" $R5
      ${Break}
    ${EndIf}
    IntOp $R5 $R5 + 1
  ${Loop}
FunctionEnd

Function ${UN}RestoreCursors
  ReadRegStr $R0 HKCU "Control Panel\Cursors" ""
  ${If} $R0 != "Spotlex"
    Return
  ${EndIf}
  ReadRegStr $R1 HKCU "${SUITE_KEY}\Spotlex" "Original_Cursors"
  ${If} $R1 == ""
  ${OrIf} $R1 == "Spotlex"
    StrCpy $R1 "Windows Default"
  ${EndIf}
  StrCpy $R2 1
  ReadRegStr $R8 HKCU "${SCHEMES_KEY}" "$R1"
  ${If} $R8 == ""
    StrCpy $R2 2
    ReadRegStr $R8 HKLM "Software\Microsoft\Windows\CurrentVersion\Control Panel\Cursors\Schemes" "$R1"
  ${EndIf}
  ${If} $R8 == ""
  ${AndIf} $R1 != "Windows Default"
    StrCpy $R1 "Windows Default"
    ReadRegStr $R8 HKLM "Software\Microsoft\Windows\CurrentVersion\Control Panel\Cursors\Schemes" "$R1"
  ${EndIf}
  StrCpy $R6 $R8
  !define /redef NEXTPART "${UN}NextListPart"
  !insertmacro ForEachCursor RestoreCursorRole
  WriteRegStr HKCU "Control Panel\Cursors" "" "$R1"
  WriteRegDWORD HKCU "Control Panel\Cursors" "Scheme Source" $R2
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETCURSORS}, i 0, p 0, i 0)'
FunctionEnd
!macroend
!insertmacro RemovalFunctions ""
!insertmacro RemovalFunctions "un."

!macro RemoveSound EVENT FILE LABEL
  DeleteRegKey HKCU "AppEvents\EventLabels\${EVENT}"
!macroend

!macro RemoveInstalled UN
Function ${UN}RemoveInstalled
  Call ${UN}RestoreCursors
  ; This user's scheme and sound section belong to a per-user install, or were left for the
  ; installing administrator by an earlier all-users install of this folder.
  ReadRegStr $R0 HKCU "${EVENTS_KEY}\CKStartUp\.Default" ""
  ${If} $AllUsers != 1
  ${OrIf} $R0 == "$INSTDIR\sounds\Spotlex_StartUp.wav"
    DeleteRegValue HKCU "${SCHEMES_KEY}" "Spotlex"
    DeleteRegKey /ifempty HKCU "${SCHEMES_KEY}"
    !insertmacro ForEachSound RemoveSound
    DeleteRegKey /ifempty HKCU "AppEvents\EventLabels"
    DeleteRegKey HKCU "${EVENTS_KEY}"
  ${EndIf}

  ${If} $AllUsers == 1
    DeleteRegValue HKLM "${SYSTEM_SCHEMES_KEY}" "Spotlex"
    DeleteRegKey HKLM "${MACHINE_SOUNDS_KEY}"
    DeleteRegValue HKLM "${FONTS_KEY}" "${FONT_VALUE}"
    Delete /REBOOTOK "$FONTS\Spotlex2.ttf"
    Delete /REBOOTOK "$FONTS\${FONT_NEXT}"
    DeleteRegValue HKLM "${SUITE_KEY}\General" "Path"
  ${Else}
    DeleteRegValue HKCU "${FONTS_KEY}" "${FONT_VALUE}"
    Delete /REBOOTOK "$LOCALAPPDATA\Microsoft\Windows\Fonts\Spotlex2.ttf"
    Delete /REBOOTOK "$LOCALAPPDATA\Microsoft\Windows\Fonts\${FONT_NEXT}"
    DeleteRegValue HKCU "${SUITE_KEY}\General" "Path"
    DeleteRegKey /ifempty HKCU "${FONTS_KEY}"
  ${EndIf}
  ; The program opens the machine key at every start; left empty, it goes (where this user may).
  DeleteRegKey /ifempty HKLM "${SUITE_KEY}\General"
  DeleteRegKey /ifempty HKLM "${SUITE_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Parvane\Classkit"
  DeleteRegKey /ifempty HKLM "Software\Parvane"
  Delete "$SMPROGRAMS\Spotlex.lnk"
  DeleteRegKey SHCTX "${UNINST_KEY}"
  ; Windows always has the machine's list; a user's may have been made by this install.
  ${IfThen} $AllUsers != 1 ${|} DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall" ${|}

  Delete "$INSTDIR\Spotlex.exe"
  Delete "$INSTDIR\SpotlexClock.exe"
  Delete "$INSTDIR\ckicons.icl"
  Delete "$INSTDIR\Spotlex2.ttf"
  Delete "$INSTDIR\Uninstall Spotlex.exe"
  RMDir /r "$INSTDIR\help"
  RMDir /r "$INSTDIR\cursors"
  RMDir /r "$INSTDIR\sounds"
  ; The folder is the suite's: its log and a sibling's files keep it.
  RMDir "$INSTDIR"
  ; The publisher's folder of the default places goes too when nothing else is in it.
  ${GetParent} "$INSTDIR" $R0
  ${GetFileName} "$R0" $R1
  ${IfThen} $R1 == "Parvane" ${|} RMDir "$R0" ${|}
FunctionEnd
!macroend
!insertmacro RemoveInstalled ""
!insertmacro RemoveInstalled "un."

Function un.onInit
  ${IfThen} ${RunningX64} ${|} SetRegView 64 ${|}
  ; Installed for all users when the machine's entry names this folder.
  StrCpy $AllUsers 0
  ReadRegStr $R0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${IfThen} $R0 == $INSTDIR ${|} StrCpy $AllUsers 1 ${|}
  ${If} $AllUsers == 1
    ; Taking away the machine's files and entries needs an administrator: without one, nothing is
    ; removed rather than this user's part alone.
    UserInfo::GetAccountType
    Pop $R1
    ${If} $R1 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "Spotlex is installed for all users of this computer. Removing it needs administrator rights: right-click its uninstaller and choose Run as administrator, or remove it from Apps && features, which asks for them." /SD IDOK
      SetErrorLevel 5
      Quit
    ${EndIf}
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningCopy
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONEXCLAMATION "Spotlex is running and did not close. Close it from its icon in the taskbar tray, then uninstall again." /SD IDOK
    SetErrorLevel 4
    Abort
  ${EndIf}
  Call un.RemoveInstalled

  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove your Spotlex settings (colours, sizes, key filter, positions)?" /SD IDNO IDNO keep
  ${EndIf}
  DeleteRegKey HKCU "${SUITE_KEY}\Spotlex"
  ; The suite's log goes with the settings, and with it a folder that only it kept.
  Delete "$INSTDIR\errata.log"
  RMDir "$INSTDIR"
  ${GetParent} "$INSTDIR" $R0
  ${GetFileName} "$R0" $R1
  ${IfThen} $R1 == "Parvane" ${|} RMDir "$R0" ${|}
  keep:
  DeleteRegKey /ifempty HKCU "${SUITE_KEY}\General"
  DeleteRegKey /ifempty HKCU "${SUITE_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Parvane\Classkit"
  DeleteRegKey /ifempty HKCU "Software\Parvane"
SectionEnd
