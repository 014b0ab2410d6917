; The Quillbright installer: puts the build that matches the system into
; Program Files\Quillbright for every user (an administrator's default), or
; into the user's own Programs folder for that user alone (needs no
; administrator; a standard user's default), makes it the installing
; account's screen saver and registers an uninstaller that puts everything
; back. /AllUsers and /CurrentUser choose when silent.
;
; makensis -DVERSION=a.b.c.d -DBUILD32=dir -DBUILD64=dir -DOUTFILE=file
;          [-DICON=file] quillbright.nsi
; (scripts/package passes these.) The release is the x86-unicode installer,
; which runs on every Windows; -X"Target amd64-unicode" makes the same one
; for 64-bit Windows alone (the installer test uses it where 32-bit
; programs cannot run).

Unicode True
SetCompressor /SOLID lzma
; Installed files take the time they are installed, not the build's: the
; installer then holds no time that differs between two builds of a commit.
SetDateSave off
; A file that cannot be written or removed (a running saver holds its
; program) is an error, never a file silently skipped.
AllowSkipFiles off

!ifndef VERSION | BUILD32 | BUILD64 | OUTFILE
  !error "VERSION, BUILD32, BUILD64 and OUTFILE must be defined"
!endif
!ifndef ICON
  !define ICON "..\src\resources\quillbright.ico"
!endif

!define PRODUCT "Quillbright"
!define PUBLISHER "Quillbright"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillbright"
!define STATE_KEY "Software\Quillbright"
!define DESKTOP_KEY "Control Panel\Desktop"

; An administrator is asked to elevate; a standard user runs as himself and
; can install for himself only.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_FUNCTION DefaultFolder
!include "MUI2.nsh"
!include "MultiUser.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"
!include "StrFunc.nsh"
${StrStr}

Name "${PRODUCT}"
OutFile "${OUTFILE}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FolderChosen
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for systems whose language is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString SetSaver ${LANG_ENGLISH} "Making Quillbright the screen saver"
LangString SetSaver ${LANG_JAPANESE} "Quillbright をスクリーンセーバーに設定しています"
LangString KeepSettings ${LANG_ENGLISH} "Keeping the settings (Quillbright.ini)"
LangString KeepSettings ${LANG_JAPANESE} "設定 (Quillbright.ini) は残します"
LangString RemoveSettingsName ${LANG_ENGLISH} "Also remove the settings (Quillbright.ini)"
LangString RemoveSettingsName ${LANG_JAPANESE} "設定 (Quillbright.ini) も削除する"
LangString RemoveSettingsText ${LANG_ENGLISH} "The music you chose for the saver. Leave this unticked to keep it for a later installation."
LangString RemoveSettingsText ${LANG_JAPANESE} "スクリーンセーバーの BGM の設定です。再インストールのために残す場合はチェックしないでください。"
LangString ProgramName ${LANG_ENGLISH} "Quillbright (program files)"
LangString ProgramName ${LANG_JAPANESE} "Quillbright (プログラム)"
LangString CloseRunning ${LANG_ENGLISH} "Quillbright is running (the screen saver, its settings or its presentation). Close it, then choose Retry."
LangString CloseRunning ${LANG_JAPANESE} "Quillbright (スクリーンセーバー、設定画面またはその表示) が実行中です。終了してから [再試行] を選んでください。"
LangString CannotRemove ${LANG_ENGLISH} "Quillbright's program files could not be removed. Close every program that uses them and uninstall again."
LangString CannotRemove ${LANG_JAPANESE} "Quillbright のプログラム ファイルを削除できませんでした。使用中のプログラムを終了してから、もう一度アンインストールしてください。"

LangString FilesHeld ${LANG_ENGLISH} "Quillbright's files in $INSTDIR are in use and cannot be replaced. Close every program that uses them and run setup again. Nothing was changed."
LangString FilesHeld ${LANG_JAPANESE} "$INSTDIR にある Quillbright のファイルが使用中のため置き換えられません。使用中のプログラムを終了してから、もう一度セットアップを実行してください。何も変更していません。"
LangString CannotCreate ${LANG_ENGLISH} "The folder $INSTDIR cannot be created."
LangString CannotCreate ${LANG_JAPANESE} "フォルダー $INSTDIR を作成できません。"
LangString NoShortPath ${LANG_ENGLISH} "Windows cannot start a screen saver from $INSTDIR: its path holds a space, and the drive keeps no short (8.3) name for it. Choose a folder whose path has no spaces."
LangString NoShortPath ${LANG_JAPANESE} "$INSTDIR からはスクリーンセーバーを起動できません。パスに空白が含まれ、このドライブでは短い (8.3 形式の) 名前が作られていないためです。空白を含まないフォルダーを選んでください。"
LangString NotOwnFolder ${LANG_ENGLISH} "$INSTDIR holds other files. An installation for every user outside Program Files needs a folder of its own, whose permissions setup can set: choose a new or empty folder."
LangString NotOwnFolder ${LANG_JAPANESE} "$INSTDIR にはほかのファイルがあります。Program Files 以外にすべてのユーザー用にインストールするには、セットアップがアクセス許可を設定できる専用のフォルダーが必要です。新しいフォルダーか空のフォルダーを選んでください。"
LangString CannotSecure ${LANG_ENGLISH} "Setup cannot set the permissions of $INSTDIR (administrators and the system: full control; users: read and run), so other users could change Quillbright there. Choose a folder in Program Files, or on an NTFS drive."
LangString CannotSecure ${LANG_JAPANESE} "$INSTDIR のアクセス許可 (管理者とシステム: フル コントロール、ユーザー: 読み取りと実行) を設定できないため、ほかのユーザーが Quillbright を書き換えられます。Program Files の中か、NTFS ドライブのフォルダーを選んでください。"
LangString AllUsersNeedsAdmin ${LANG_ENGLISH} "Installing for every user needs an administrator. Run setup as an administrator, or install for yourself only (/CurrentUser)."
LangString AllUsersNeedsAdmin ${LANG_JAPANESE} "すべてのユーザー用のインストールには管理者の権限が必要です。管理者としてセットアップを実行するか、自分だけにインストールしてください (/CurrentUser)。"
LangString OtherAccount ${LANG_ENGLISH} "Quillbright is installed for every user, but setup runs as $R1, not as $R2 who started it, so it set no one's screen saver. Each user who wants Quillbright chooses it: right-click Quillbright.scr in $INSTDIR and choose Install, which makes it their screen saver and opens the display settings."
LangString OtherAccount ${LANG_JAPANESE} "Quillbright をすべてのユーザー用にインストールしましたが、セットアップは起動した $R2 ではなく $R1 として実行されているため、スクリーンセーバーは設定していません。使うユーザーがそれぞれ設定してください: $INSTDIR の Quillbright.scr を右クリックして [インストール] を選ぶと、その人のスクリーンセーバーになり、画面の設定が開きます。"

Var ShortSaver
; The folder /D= named, kept over the defaults of the two ways to install.
Var ChosenDir

; A running Quillbright holds its program files: the saver (its window
; Quillbright_Main), its settings dialog (<Quillbright>) or its
; presentation (Quillbright_VC). The user is asked to close it; silent, or
; on Cancel, the run ends with error level 2 before anything is changed.
!macro CLOSE_RUNNING_QUILLBRIGHT UN
Function ${UN}CloseRunningQuillbright
  again:
  FindWindow $0 "" "Quillbright_Main"
  ${If} $0 == 0
    FindWindow $0 "" "<Quillbright>"
  ${EndIf}
  ${If} $0 == 0
    FindWindow $0 "" "Quillbright_VC"
  ${EndIf}
  ${If} $0 != 0
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(CloseRunning)" /SD IDCANCEL IDRETRY again
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_QUILLBRIGHT ""
!insertmacro CLOSE_RUNNING_QUILLBRIGHT "un."

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ; /D= sets the folder before this runs.
  StrCpy $ChosenDir $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/CurrentUser" $1
  ${IfNot} ${Errors}
    Call MultiUser.InstallMode.CurrentUser
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/AllUsers" $1
  ${IfNot} ${Errors}
    ${If} $MultiUser.Privileges != "Admin"
    ${AndIf} $MultiUser.Privileges != "Power"
      MessageBox MB_OK|MB_ICONSTOP "$(AllUsersNeedsAdmin)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Call MultiUser.InstallMode.AllUsers
  ${EndIf}
  Call CloseRunningQuillbright
FunctionEnd

; Called whenever the way to install changes: Program Files of the build
; that matches the system for every user, the user's own Programs folder
; for one.
Function DefaultFolder
  ${If} $ChosenDir != ""
    Return
  ${EndIf}
  ${If} $MultiUser.InstallMode == "AllUsers"
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
    ${EndIf}
  ${Else}
    GetKnownFolderPath $INSTDIR {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB} ; FOLDERID_UserProgramFiles
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs"
    ${EndIf}
    StrCpy $INSTDIR "$INSTDIR\${PRODUCT}"
  ${EndIf}
FunctionEnd

; All or nothing: $0 is empty when no program holds a file in $INSTDIR that
; is to be replaced or removed (it opens exclusively, for writing and
; deleting), else the message that says so.
!macro REQUIRE_FREE NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\${NAME}", i 0x40010000, i 0, p 0, i 3, i 0, p 0) p .r1'
    ${If} $1 = -1
      StrCpy $0 "$(FilesHeld)"
    ${Else}
      System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
  ${EndIf}
!macroend

; $R4 is 1 when $INSTDIR is not Program Files or a folder in it, whose
; permissions every installation shares.
Function IsOutsideProgramFiles
  StrCpy $R4 1
  ${ForEach} $R5 0 1 + 1
    ${If} $R5 == 0
      StrCpy $R6 $PROGRAMFILES
    ${Else}
      StrCpy $R6 $PROGRAMFILES64
    ${EndIf}
    StrLen $R7 "$R6\"
    StrCpy $R7 $INSTDIR $R7
    ${If} $R7 == "$R6\"
    ${OrIf} $INSTDIR == $R6
      StrCpy $R4 0
    ${EndIf}
  ${Next}
FunctionEnd

; Gives $INSTDIR explicit permissions, inheritance off: Administrators and
; SYSTEM full control, Users read and run, Administrators its owner. Any
; other user could otherwise replace what every user's saver runs, or the
; uninstaller an administrator runs next. $R4 is 1 when it is done.
Function SecureFolder
  Push $0
  StrCpy $R4 0
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)", i 1, *p .r1, p 0) i .r0'
  ${If} $0 = 0
    Pop $0
    Return
  ${EndIf}
  System::Call 'advapi32::GetSecurityDescriptorDacl(p r1, *i .r2, *p .r3, *i .r4) i .r0'
  System::Call 'advapi32::GetSecurityDescriptorOwner(p r1, *p .r5, *i .r4) i .r6'
  ${If} $0 <> 0
  ${AndIf} $6 <> 0
    ; OWNER | DACL | PROTECTED_DACL
    System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i 1, i 0x80000005, p r5, p 0, p r3, p 0) i .r0'
    ${If} $0 = 0
      StrCpy $R4 1
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::LocalFree(p r1)'
  Pop $0
FunctionEnd

; $R4 is 1 when $INSTDIR holds nothing but Quillbright's own files, so that
; its permissions are Quillbright's to set.
Function IsOwnFolder
  StrCpy $R4 1
  FindFirst $R5 $R6 "$INSTDIR\*"
  ${DoWhile} $R6 != ""
    StrCpy $R7 $R6 11
    ${If} $R6 != "."
    ${AndIf} $R6 != ".."
    ${AndIf} $R6 != "uninstall.exe"
    ${AndIf} $R7 != "Quillbright"
      StrCpy $R4 0
    ${EndIf}
    FindNext $R5 $R6
  ${Loop}
  FindClose $R5
FunctionEnd

; Makes $INSTDIR ready for the files, or leaves everything as it was and
; puts the reason into $0.
Function PrepareFolder
  StrCpy $0 ""
  !insertmacro REQUIRE_FREE "Quillbright.scr"
  !insertmacro REQUIRE_FREE "Quillbright.dll"
  !insertmacro REQUIRE_FREE "uninstall.exe"
  ${If} $0 != ""
    Return
  ${EndIf}
  ; The deepest folder there already: those made below it go on refusal.
  StrCpy $R2 $INSTDIR
  ${DoUntil} ${FileExists} "$R2\*.*"
    ${GetParent} $R2 $R3
    ${IfThen} $R3 == "" ${|} ${ExitDo} ${|}
    StrCpy $R2 $R3
  ${Loop}
  ClearErrors
  CreateDirectory $INSTDIR
  ${If} ${Errors}
    StrCpy $0 "$(CannotCreate)"
    Return
  ${EndIf}
  ; The saver's path goes into SCRNSAVE.EXE unquoted, which Windows cannot
  ; start with a space in it: the short form must have none.
  GetFullPathName /SHORT $R3 $INSTDIR
  ${IfThen} $R3 == "" ${|} StrCpy $R3 $INSTDIR ${|}
  ${StrStr} $R4 $R3 " "
  ${If} $R4 != ""
    StrCpy $0 "$(NoShortPath)"
  ${ElseIf} $MultiUser.InstallMode == "AllUsers"
    Call IsOutsideProgramFiles
    ${If} $R4 == 1
      Call IsOwnFolder
      ${If} $R4 == 0
        StrCpy $0 "$(NotOwnFolder)"
      ${Else}
        Call SecureFolder
        ${IfThen} $R4 == 0 ${|} StrCpy $0 "$(CannotSecure)" ${|}
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $0 != ""
    StrCpy $R3 $INSTDIR
    ${DoWhile} $R3 != $R2
      ${IfThen} $R3 == "" ${|} ${ExitDo} ${|}
      RMDir $R3
      ${GetParent} $R3 $R3
    ${Loop}
  ${EndIf}
FunctionEnd

; The folder page's Install button: a folder that cannot be used is said
; while it can still be changed.
Function FolderChosen
  Call PrepareFolder
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP "$0"
    Abort
  ${EndIf}
FunctionEnd

; $R0 is 0 when setup runs as another account than the one signed in to
; this session (over-the-shoulder elevation: an administrator's password
; typed in for a standard user); $R1 and $R2 then name the two.
Function RunsAsSessionUser
  StrCpy $R0 1
  ; WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSUserName
  System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 5, *p .r1, *i .r2) i .r0'
  ${If} $0 = 0
    Return
  ${EndIf}
  System::Call 'kernel32::lstrcpynW(w .R2, p r1, i ${NSIS_MAX_STRLEN}) p'
  System::Call 'wtsapi32::WTSFreeMemory(p r1)'
  System::Call 'advapi32::GetUserNameW(w .R1, *i ${NSIS_MAX_STRLEN}) i .r0'
  ${If} $0 <> 0
  ${AndIf} $R1 != ""
  ${AndIf} $R2 != ""
  ${AndIf} $R1 != $R2
    StrCpy $R0 0
  ${EndIf}
FunctionEnd

Section "Install"
  Call PrepareFolder
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
    SetErrorLevel 2
    Abort "$0"
  ${EndIf}
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "/oname=Quillbright.scr" "${BUILD64}\Quillbright.scr"
    File "/oname=Quillbright.dll" "${BUILD64}\Quillbright.dll"
  ${Else}
    File "/oname=Quillbright.scr" "${BUILD32}\Quillbright.scr"
    File "/oname=Quillbright.dll" "${BUILD32}\Quillbright.dll"
  ${EndIf}

  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The screen saver, as the display settings would set it (short path),
  ; for the account that installs; never for an administrator who only
  ; typed his password in for another user.
  Call RunsAsSessionUser
  ${If} $R0 == 0
  ${AndIf} $MultiUser.InstallMode == "AllUsers"
    DetailPrint "$(OtherAccount)"
    MessageBox MB_OK|MB_ICONINFORMATION "$(OtherAccount)" /SD IDOK
    Goto entry
  ${EndIf}
  DetailPrint "$(SetSaver)"
  GetFullPathName /SHORT $ShortSaver "$INSTDIR\Quillbright.scr"
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ReadRegStr $1 HKCU "${STATE_KEY}" "InstalledScreenSaver"
  ; Installing again over an installation: the values from before the first
  ; one are kept, not Quillbright's own.
  ${If} $1 == ""
  ${OrIf} $0 != $1
    ClearErrors
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} ${Errors}
      WriteRegDWORD HKCU "${STATE_KEY}" "PreviousScreenSaverSet" 0
    ${Else}
      WriteRegDWORD HKCU "${STATE_KEY}" "PreviousScreenSaverSet" 1
      WriteRegStr HKCU "${STATE_KEY}" "PreviousScreenSaver" $0
    ${EndIf}
    ClearErrors
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${If} ${Errors}
      WriteRegDWORD HKCU "${STATE_KEY}" "PreviousScreenSaveActiveSet" 0
    ${Else}
      WriteRegDWORD HKCU "${STATE_KEY}" "PreviousScreenSaveActiveSet" 1
      WriteRegStr HKCU "${STATE_KEY}" "PreviousScreenSaveActive" $0
    ${EndIf}
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $ShortSaver
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  WriteRegStr HKCU "${STATE_KEY}" "InstalledScreenSaver" $ShortSaver

  ; Add/Remove Programs: every user's, or this user's alone.
  entry:
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quillbright.scr,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; ---------------------------------------------------------------- uninstaller


Section "-un.$(ProgramName)"
  ; Nothing is undone while a program file is held, and nothing else while
  ; one stays: the uninstaller and its entry remain for another try.
  StrCpy $0 ""
  !insertmacro REQUIRE_FREE "Quillbright.scr"
  !insertmacro REQUIRE_FREE "Quillbright.dll"
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP "$(CannotRemove)" /SD IDOK
    SetErrorLevel 2
    Abort "$(CannotRemove)"
  ${EndIf}
  Delete "$INSTDIR\Quillbright.scr"
  Delete "$INSTDIR\Quillbright.dll"
  ${If} ${FileExists} "$INSTDIR\Quillbright.scr"
  ${OrIf} ${FileExists} "$INSTDIR\Quillbright.dll"
    MessageBox MB_OK|MB_ICONSTOP "$(CannotRemove)" /SD IDOK
    SetErrorLevel 2
    Abort "$(CannotRemove)"
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"

  ; Back to the screen saver chosen before, while Quillbright is still the
  ; chosen one.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ReadRegStr $1 HKCU "${STATE_KEY}" "InstalledScreenSaver"
  ${If} $1 != ""
  ${AndIf} $0 == $1
    ReadRegDWORD $2 HKCU "${STATE_KEY}" "PreviousScreenSaverSet"
    ${If} $2 == 1
      ReadRegStr $3 HKCU "${STATE_KEY}" "PreviousScreenSaver"
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $3
    ${Else}
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
    ReadRegDWORD $2 HKCU "${STATE_KEY}" "PreviousScreenSaveActiveSet"
    ${If} $2 == 1
      ReadRegStr $3 HKCU "${STATE_KEY}" "PreviousScreenSaveActive"
      WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" $3
    ${Else}
      DeleteRegValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${EndIf}
  ${EndIf}
  DeleteRegKey HKCU "${STATE_KEY}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"

  ; An empty settings file was made by an earlier installer, not saved.
  ${GetSize} "$INSTDIR" "/M=Quillbright.ini /S=0B /G=0" $0 $1 $2
  ${If} $1 == 1
  ${AndIf} $0 == 0
    Delete "$INSTDIR\Quillbright.ini"
  ${ElseIf} ${FileExists} "$INSTDIR\Quillbright.ini"
    DetailPrint "$(KeepSettings)"
  ${EndIf}
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.$(RemoveSettingsName)" RemoveSettings
  ; The file beside the program, the copy Windows keeps for a program whose
  ; writes under Program Files it virtualised, and the uninstalling user's
  ; own file (other users' own files are theirs).
  SetShellVarContext current
  Delete "$INSTDIR\Quillbright.ini"
  StrCpy $0 "$INSTDIR" "" 3
  Delete "$LOCALAPPDATA\VirtualStore\$0\Quillbright.ini"
  RMDir "$LOCALAPPDATA\VirtualStore\$0"
  Delete "$LOCALAPPDATA\Quillbright\Quillbright.ini"
  RMDir "$LOCALAPPDATA\Quillbright"
  RMDir "$INSTDIR"
SectionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ; /RemoveSettings ticks the settings box, for silent uninstalls.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/RemoveSettings" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${RemoveSettings}
  ${EndIf}
  ; The installation is this user's own when his entry names this folder.
  !insertmacro MULTIUSER_UNINIT
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    Call un.MultiUser.InstallMode.CurrentUser
  ${Else}
    Call un.MultiUser.InstallMode.AllUsers
  ${EndIf}
  Call un.CloseRunningQuillbright
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${RemoveSettings} "$(RemoveSettingsText)"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
