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
; A volatile key, gone at the next restart: the folder whose uninstaller
; waits for that restart to be deleted.
!define PENDING_KEY "Software\Quillbright\RemovedAtRestart"
!define STATE_KEY "Software\Quillbright"
!define DESKTOP_KEY "Control Panel\Desktop"

; An administrator is asked to elevate; a standard user runs as himself and
; can install for himself only.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_FUNCTION DefaultFolder
; The uninstaller, built with the same manifest, asks for no elevation.
; (makensis runs it in this script's folder.)
!uninstfinalize 'python3 as_invoker.py "%1"' = 0
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
LangString LinkedFolder ${LANG_ENGLISH} "$INSTDIR is, or lies in, a link to another folder (a junction or symbolic link) that setup did not make, and the link could be pointed elsewhere later. Choose a folder that is no link."
LangString LinkedFolder ${LANG_JAPANESE} "$INSTDIR は、セットアップが作成していない別のフォルダーへのリンク (ジャンクションまたはシンボリック リンク) であるか、その中にあります。リンク先はあとから変えられます。リンクではないフォルダーを選んでください。"
LangString OthersOwn ${LANG_ENGLISH} "$INSTDIR, a file in it or the folder that holds it belongs to an account other than the administrators and the system, or other users can change it. An owner can change its permissions at any time, and whoever could change the folder may still hold it open after setup takes that right away. An installation for every user needs a folder setup makes: choose a new folder."
LangString OthersOwn ${LANG_JAPANESE} "$INSTDIR、その中のファイル、またはそれを含むフォルダーの所有者が管理者とシステム以外のアカウントであるか、ほかのユーザーがそれを変更できます。所有者はいつでもアクセス許可を変更でき、変更できたユーザーはセットアップがその権限を取り除いたあとも開いたままにしておけます。すべてのユーザー用のインストールには、セットアップが作成するフォルダーが必要です。新しいフォルダーを選んでください。"
LangString OthersCanWrite ${LANG_ENGLISH} "Other users can change $INSTDIR or a folder that holds it, so they could replace the screen saver that runs as you. Choose a new folder, or one that only you, the administrators and the system can change."
LangString OthersCanWrite ${LANG_JAPANESE} "$INSTDIR またはそれを含むフォルダーはほかのユーザーが変更できるため、あなたとして実行されるスクリーンセーバーを置き換えられてしまいます。新しいフォルダーか、あなたと管理者とシステムだけが変更できるフォルダーを選んでください。"
LangString OtherAccountForMe ${LANG_ENGLISH} "Setup runs as $R1, not as $R2 who is signed in, so an installation for one user alone would be $R1's. To install for yourself, run setup without an administrator's password; or install for every user."
LangString OtherAccountForMe ${LANG_JAPANESE} "セットアップはサインインしている $R2 ではなく $R1 として実行されているため、自分だけへのインストールは $R1 のものになります。自分用にインストールするには管理者のパスワードを使わずにセットアップを実行するか、すべてのユーザー用にインストールしてください。"
LangString RemoteFolder ${LANG_ENGLISH} "$INSTDIR is on another computer, whose administrators, not this computer's, decide who can change it. An installation for every user needs a folder on this computer."
LangString RemoteFolder ${LANG_JAPANESE} "$INSTDIR はほかのコンピューター上にあり、だれが変更できるかはこのコンピューターではなくそのコンピューターの管理者が決めます。すべてのユーザー用のインストールには、このコンピューター上のフォルダーが必要です。"
LangString RestartFirst ${LANG_ENGLISH} "Quillbright was removed from $INSTDIR, but the uninstaller there is deleted only when Windows restarts, and a new one would go with it. Restart Windows, then run setup again."
LangString RestartFirst ${LANG_JAPANESE} "$INSTDIR から Quillbright を削除しましたが、そこにあるアンインストーラーは Windows の再起動時に削除され、新しいアンインストーラーもいっしょに削除されてしまいます。Windows を再起動してから、もう一度セットアップを実行してください。"
LangString UninstallNeedsAdmin ${LANG_ENGLISH} "Quillbright is installed for every user: removing it needs an administrator."
LangString UninstallElevated ${LANG_ENGLISH} "This uninstaller runs as an administrator, but no installation for every user is in $INSTDIR. An installation for one user is removed at that user's own rights: run the uninstaller without elevating it."
LangString UninstallElevated ${LANG_JAPANESE} "このアンインストーラーは管理者として実行されていますが、$INSTDIR にすべてのユーザー用のインストールはありません。1 人のユーザー用のインストールは、そのユーザー自身の権限で削除します。管理者に昇格せずにアンインストーラーを実行してください。"
LangString UninstallNeedsAdmin ${LANG_JAPANESE} "Quillbright はすべてのユーザー用にインストールされています。削除するには管理者の権限が必要です。"
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
  Call ReadAccountSid
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

; $INSTDIR as Windows reads it: full, without `.` or `..`, every part there
; already in its long form. Every test of the folder reads this form, so no
; other spelling of a path gets past one. $0 gets the reason when it cannot
; be made (a part to make ends in a dot or a space, which Windows drops).
!macro RESOLVE_FOLDER UN
Function ${UN}ResolveFolder
  StrCpy $0 ""
  System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r1, p 0) i .r2'
  ${If} $2 = 0
  ${OrIf} $2 >= ${NSIS_MAX_STRLEN}
    StrCpy $0 "$(CannotCreate)"
    Return
  ${EndIf}
  StrCpy $2 $1 "" -1
  StrLen $3 $1
  ${If} $2 == "\"
  ${AndIf} $3 > 3
    StrCpy $1 $1 -1
  ${EndIf}
  StrCpy $2 ""
  ${Do}
    System::Call 'kernel32::GetLongPathNameW(w r1, w .r3, i ${NSIS_MAX_STRLEN}) i .r4'
    ${If} $4 > 0
    ${AndIf} $4 < ${NSIS_MAX_STRLEN}
      StrCpy $1 $3
      ${ExitDo}
    ${EndIf}
    ${${UN}GetParent} $1 $3
    ${${UN}GetFileName} $1 $4
    ${If} $3 == ""
    ${OrIf} $4 == ""
      ${ExitDo}
    ${EndIf}
    StrCpy $5 $4 "" -1
    ${If} $5 == "."
    ${OrIf} $5 == " "
      StrCpy $0 "$(CannotCreate)"
    ${EndIf}
    StrCpy $2 "\$4$2"
    StrLen $4 $3
    ${IfThen} $4 == 2 ${|} StrCpy $3 "$3\" ${|}
    StrCpy $1 $3
  ${Loop}
  StrCpy $3 $1 "" -1
  ${IfThen} $3 == "\" ${|} StrCpy $2 $2 "" 1 ${|}
  StrCpy $INSTDIR "$1$2"
FunctionEnd
!macroend
!insertmacro RESOLVE_FOLDER ""
!insertmacro RESOLVE_FOLDER "un."

; $R4 is 1 when neither $INSTDIR nor any folder above it is a junction or a
; symbolic link: another user who made one could point it elsewhere later.
Function NoLinkOnPath
  StrCpy $R4 1
  StrCpy $1 $INSTDIR
  ${Do}
    System::Call 'kernel32::GetFileAttributesW(w r1) i .r2'
    ${If} $2 <> -1
      IntOp $2 $2 & 0x400 ; FILE_ATTRIBUTE_REPARSE_POINT
      ${IfThen} $2 <> 0 ${|} StrCpy $R4 0 ${|}
    ${EndIf}
    ${GetParent} $1 $1
    StrLen $2 $1
  ${LoopWhile} $2 > 2
FunctionEnd

; The SID, as text, of the account setup runs as.
Var AccountSid
; SID_TEXT PSID VAR: the SID at PSID as text, empty when it cannot be read.
!macro SID_TEXT PSID VAR
  System::Call 'advapi32::ConvertSidToStringSidW(p ${PSID}, *p .r9) i .r8'
  ${If} $8 <> 0
    System::Call 'kernel32::lstrcpynW(w .r8, p r9, i 192)'
    System::Call 'kernel32::LocalFree(p r9)'
    StrCpy ${VAR} $8
  ${Else}
    StrCpy ${VAR} ""
  ${EndIf}
!macroend
Function ReadAccountSid
  StrCpy $AccountSid ""
  System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r0' ; TOKEN_QUERY
  ${If} $0 = 0
    Return
  ${EndIf}
  System::Call 'advapi32::GetTokenInformation(p r1, i 1, p 0, i 0, *i .r2)' ; TokenUser
  System::Alloc $2
  Pop $3
  System::Call 'advapi32::GetTokenInformation(p r1, i 1, p r3, i r2, *i .r2) i .r0'
  ${If} $0 <> 0
    System::Call '*$3(p .r4)'
    !insertmacro SID_TEXT r4 $AccountSid
  ${EndIf}
  System::Free $3
  System::Call 'kernel32::CloseHandle(p r1)'
FunctionEnd

; $R9 is 1 when the SID text $R9 names an account that may change what the
; installation is for: the administrators, the system, TrustedInstaller or
; the account setup runs as.
Function IsTrustedSid
  ${If} $R9 == "S-1-5-32-544"
  ${OrIf} $R9 == "S-1-5-18"
  ${OrIf} $R9 == "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
  ${OrIf} $R9 == $AccountSid
    StrCpy $R9 1
  ${Else}
    StrCpy $R9 0
  ${EndIf}
FunctionEnd

; $R4 is 1 when the owner of $R8 is trusted (IsTrustedSid) and, with $R7
; 1, no one else is allowed to change it or what it holds: its owner may
; rewrite its permissions whenever it likes, and any entry that lets another
; account write is inherited by the files setup writes there. With $R7 2 (a
; folder above the installation), no one else may delete or rename it, or
; what it holds, nor change its permissions or owner; entries only for what
; is made in it are skipped (C:\ lets every user make folders and modify
; them, not itself or what others made). $R7 3 is the drive's root, which
; is never renamed: a data drive lets users modify its root itself.
Function OnlyTrustedChange
  Push $0
  Push $R6
  StrCpy $R4 0
  ; OWNER | DACL, SE_FILE_OBJECT
  System::Call 'advapi32::GetNamedSecurityInfoW(w R8, i 1, i 5, *p .r1, p 0, *p .r2, p 0, *p .r3) i .r0'
  ${If} $0 <> 0
    Pop $R6
    Pop $0
    Return
  ${EndIf}
  !insertmacro SID_TEXT r1 $R9
  Call IsTrustedSid
  StrCpy $R4 $R9
  ${If} $R7 != 0
  ${AndIf} $R4 == 1
    ${If} $2 P= 0
      StrCpy $R4 0 ; no DACL: anyone may do anything
    ${Else}
      System::Call '*(i, i, i) p .r4'
      System::Call 'advapi32::GetAclInformation(p r2, p r4, i 12, i 2) i .r0' ; AclSizeInformation
      System::Call '*$4(i .R6)'
      System::Free $4
      ${IfThen} $0 = 0 ${|} StrCpy $R4 0 ${|}
      StrCpy $6 0
      ${DoWhile} $6 < $R6
        ${IfThen} $R4 == 0 ${|} ${ExitDo} ${|}
        System::Call 'advapi32::GetAce(p r2, i r6, *p .r4) i .r0'
        ${If} $0 = 0
          StrCpy $R4 0
          ${ExitDo}
        ${EndIf}
        System::Call '*$4(&i1 .r5, &i1 .r8, &i2, i .r7)'
        ; An allowed entry with any right to write, delete, or change the
        ; permissions or the owner, for an account not trusted (the
        ; creator's entry stands for the account that creates).
        ${If} $R7 == 3
          IntOp $7 $7 & 0x100C0040 ; as below but DELETE: a drive's root is never renamed
        ${ElseIf} $R7 == 2
          IntOp $7 $7 & 0x100D0040 ; GENERIC_ALL, WRITE_OWNER, WRITE_DAC, DELETE, FILE_DELETE_CHILD
        ${Else}
          IntOp $7 $7 & 0x500D0156
        ${EndIf}
        ${If} $R7 >= 2
          IntOp $8 $8 & 0x08 ; INHERIT_ONLY_ACE
          ${IfThen} $8 <> 0 ${|} StrCpy $7 0 ${|}
        ${EndIf}
        ; Only allowed and denied entries are read; any other kind (a
        ; callback entry, which Windows may honour) could allow anything.
        ${If} $5 > 1
          StrCpy $R4 0
        ${ElseIf} $5 = 0
        ${AndIf} $7 <> 0
          IntPtrOp $4 $4 + 8
          !insertmacro SID_TEXT r4 $R9
          ${If} $R9 != "S-1-3-0"
            Call IsTrustedSid
            StrCpy $R4 $R9
          ${EndIf}
        ${EndIf}
        IntOp $6 $6 + 1
      ${Loop}
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::LocalFree(p r3)'
  Pop $R6
  Pop $0
FunctionEnd

; $R4 is 1 when every file in $INSTDIR belongs to a trusted account
; (IsTrustedSid), 2 when one does not; with $R3 1, 0 when it holds anything
; but Quillbright's own files: the pair, the uninstaller, the settings, and
; the names setup gives the pair and the settings while it replaces them.
Function IsOwnFolder
  StrCpy $R1 1
  FindFirst $R5 $R6 "$INSTDIR\*"
  ${DoWhile} $R6 != ""
    ${If} $R6 == "."
    ${OrIf} $R6 == ".."
    ${OrIf} $R1 == 0
    ${ElseIf} $R3 == 1
    ${AndIf} ${FileExists} "$INSTDIR\$R6\*.*"
      StrCpy $R1 0
    ${ElseIf} $R3 == 1
    ${AndIf} $R6 != "Quillbright.scr"
    ${AndIf} $R6 != "Quillbright.dll"
    ${AndIf} $R6 != "uninstall.exe"
    ${AndIf} $R6 != "Quillbright.ini"
    ${AndIf} $R6 != "Quillbright.ini.new"
    ${AndIf} $R6 != "Quillbright.scr.new"
    ${AndIf} $R6 != "Quillbright.dll.new"
    ${AndIf} $R6 != "Quillbright.scr.old"
    ${AndIf} $R6 != "Quillbright.dll.old"
      StrCpy $R1 0
    ${Else}
      StrCpy $R8 "$INSTDIR\$R6"
      StrCpy $R7 0
      Call OnlyTrustedChange
      ${IfThen} $R4 == 0 ${|} StrCpy $R1 2 ${|}
    ${EndIf}
    FindNext $R5 $R6
  ${Loop}
  FindClose $R5
  StrCpy $R4 $R1
FunctionEnd

; Makes every folder below $R2 (the deepest one there already) down to
; $INSTDIR, each with the permissions of the SDDL text $R6 from the moment
; it exists (inherited ones when $R6 is empty), so that no one has a moment
; to change it first; one that someone made meanwhile is an error. $0 gets
; the reason on failure; $MadeDir the deepest folder made ("" for none):
; every one from there up to $R2 is setup's own, and no other.
Var MadeDir
Function MakeFolders
  StrCpy $MadeDir ""
  StrCpy $1 0
  StrCpy $2 0
  ${If} $R6 != ""
    System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w R6, i 1, *p .r1, p 0) i .r0'
    ${If} $0 = 0
      StrCpy $0 "$(CannotSecure)"
      Return
    ${EndIf}
    ; SECURITY_ATTRIBUTES
    !if ${NSIS_PTR_SIZE} > 4
      System::Call '*(i 24, i 0, p r1, i 0, i 0) p .r2'
    !else
      System::Call '*(i 12, p r1, i 0) p .r2'
    !endif
  ${EndIf}
  StrCpy $0 ""
  StrLen $3 $R2
  StrLen $4 $INSTDIR
  ${DoWhile} $3 < $4
    IntOp $3 $3 + 1
    StrCpy $5 $INSTDIR 1 $3
    ${If} $5 == "\"
    ${OrIf} $3 == $4
      StrCpy $6 $INSTDIR $3
      System::Call 'kernel32::CreateDirectoryW(w r6, p r2) i .r7'
      ${If} $7 = 0
        StrCpy $0 "$(CannotCreate)"
        ${ExitDo}
      ${EndIf}
      StrCpy $MadeDir $6
    ${EndIf}
  ${Loop}
  ${If} $1 P<> 0
    System::Free $2
    System::Call 'kernel32::LocalFree(p r1)'
  ${EndIf}
FunctionEnd

; Gives $INSTDIR explicit permissions, inheritance off: Administrators and
; SYSTEM full control, Users read and run, Administrators its owner. Any
; other user could otherwise replace what every user's saver runs, or the
; uninstaller an administrator runs next. $R4 is 1 when it is done. (A new
; folder is made with them: MakeFolders.)
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

; Makes $INSTDIR ready for the files, or leaves everything as it was and
; puts the reason into $0. Every folder and file there afterwards can be
; changed only by those the installation is for: the user, or the
; administrators and the system.
Function PrepareFolder
  Call ResolveFolder
  ${If} $0 != ""
    Return
  ${EndIf}
  !insertmacro REQUIRE_FREE "Quillbright.scr"
  !insertmacro REQUIRE_FREE "Quillbright.dll"
  !insertmacro REQUIRE_FREE "uninstall.exe"
  ${If} $0 != ""
    Return
  ${EndIf}
  ReadRegStr $R3 HKLM "${PENDING_KEY}" "Folder"
  ${If} $R3 != ""
  ${AndIf} $R3 == $INSTDIR
    StrCpy $0 "$(RestartFirst)"
    Return
  ${EndIf}
  ${If} $MultiUser.InstallMode == "CurrentUser"
    Call RunsAsSessionUser
    ${If} $R0 == 0
      StrCpy $0 "$(OtherAccountForMe)"
      Return
    ${EndIf}
  ${EndIf}
  Call NoLinkOnPath
  ${If} $R4 == 0
    StrCpy $0 "$(LinkedFolder)"
    Return
  ${EndIf}
  ; A share's permissions name the server's administrators, not this
  ; computer's.
  ${If} $MultiUser.InstallMode == "AllUsers"
    StrCpy $R3 $INSTDIR 2
    StrCpy $R4 $INSTDIR 3
    System::Call 'kernel32::GetDriveTypeW(w R4) i .R4'
    ${If} $R3 == "\\"
    ${OrIf} $R4 = 4 ; DRIVE_REMOTE
      StrCpy $0 "$(RemoteFolder)"
      Return
    ${EndIf}
  ${EndIf}
  ; The deepest folder there already: those made below it go on refusal.
  StrCpy $R2 $INSTDIR
  ${DoUntil} ${FileExists} "$R2\*.*"
    ${GetParent} $R2 $R3
    ${IfThen} $R3 == "" ${|} ${ExitDo} ${|}
    StrCpy $R2 $R3
  ${Loop}
  ; Every folder above it, up to the drive: whoever could rename one away
  ; could put a folder of their own in its place, and the installation's
  ; files with it.
  StrCpy $R8 $R2
  ${If} $R2 == $INSTDIR
    ${GetParent} $INSTDIR $R8
  ${EndIf}
  ; (C: or \\server\share)
  ${GetRoot} $INSTDIR $R5
  StrCpy $R4 1
  ${DoWhile} $R8 != ""
    ${IfThen} $R8 == $R5 ${|} StrCpy $R8 "$R8\" ${|}
    StrCpy $R7 2
    ${IfThen} $R8 == "$R5\" ${|} StrCpy $R7 3 ${|}
    Call OnlyTrustedChange
    ${IfThen} $R4 != 1 ${|} ${ExitDo} ${|}
    ${IfThen} $R8 == "$R5\" ${|} ${ExitDo} ${|}
    ${GetParent} $R8 $R8
  ${Loop}
  ${If} $R4 != 1
    ${If} $MultiUser.InstallMode == "AllUsers"
      StrCpy $0 "$(OthersOwn)"
    ${Else}
      StrCpy $0 "$(OthersCanWrite)"
    ${EndIf}
    Return
  ${EndIf}
  Call IsOutsideProgramFiles
  StrCpy $R0 $R4
  StrCpy $R6 ""
  ${If} $MultiUser.InstallMode == "AllUsers"
    ; The folder and every file in it: an owner could give itself back what
    ; setup takes away.
    StrCpy $R4 1
    ${If} $R2 == $INSTDIR
      ; Outside Program Files, no one else may have been able to change it:
      ; a handle opened then keeps its rights.
      StrCpy $R8 $INSTDIR
      StrCpy $R7 $R0
      Call OnlyTrustedChange
      ${If} $R4 == 1
        StrCpy $R3 $R0
        Call IsOwnFolder
        ${IfThen} $R4 == 0 ${|} StrCpy $0 "$(NotOwnFolder)" ${|}
      ${EndIf}
    ${EndIf}
    ${If} $R4 != 1
    ${AndIf} $0 == ""
      StrCpy $0 "$(OthersOwn)"
    ${EndIf}
    ${IfThen} $R0 == 1 ${|} StrCpy $R6 "O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)" ${|}
  ${Else}
    ; Outside the user's profile, where others may make folders.
    StrLen $R3 "$PROFILE\"
    StrCpy $R3 $INSTDIR $R3
    ${If} $R3 != "$PROFILE\"
    ${AndIf} $AccountSid != ""
      StrCpy $R6 "O:$AccountSidD:PAI(A;OICI;FA;;;$AccountSid)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"
      ${If} $R2 == $INSTDIR
        StrCpy $R8 $INSTDIR
        StrCpy $R7 1
        Call OnlyTrustedChange
        ${IfThen} $R4 == 0 ${|} StrCpy $0 "$(OthersCanWrite)" ${|}
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $0 != ""
    Return
  ${EndIf}
  Call MakeFolders
  ; The saver's path goes into SCRNSAVE.EXE unquoted, which Windows cannot
  ; start with a space in it: the short form must have none.
  ${If} $0 == ""
    GetFullPathName /SHORT $R3 $INSTDIR
    ${IfThen} $R3 == "" ${|} StrCpy $R3 $INSTDIR ${|}
    ${StrStr} $R4 $R3 " "
    ${IfThen} $R4 != "" ${|} StrCpy $0 "$(NoShortPath)" ${|}
  ${EndIf}
  ; A folder for every user that was there already gets the permissions a
  ; new one is made with.
  ${If} $0 == ""
  ${AndIf} $R6 != ""
  ${AndIf} $R2 == $INSTDIR
  ${AndIf} $MultiUser.InstallMode == "AllUsers"
    Call SecureFolder
    ${IfThen} $R4 == 0 ${|} StrCpy $0 "$(CannotSecure)" ${|}
  ${EndIf}
  ; Only what MakeFolders made goes: a folder someone else made meanwhile,
  ; or a link put in its place, is left alone.
  ${If} $0 != ""
  ${AndIf} $MadeDir != ""
    StrCpy $R3 $MadeDir
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
; typed in for a standard user); $R1 and $R2 then name the two. Accounts
; are told apart by SID: PC\bob and CORP\bob are two people. A session user
; whose SID cannot be read counts as another account.
Function RunsAsSessionUser
  Push $0
  StrCpy $R0 0
  StrCpy $R2 "?"
  System::Call 'advapi32::GetUserNameW(w .R1, *i ${NSIS_MAX_STRLEN})'
  ; WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSUserName, WTSDomainName
  System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 5, *p .r1, *i .r2) i .r0'
  ${If} $0 = 0
    Pop $0
    Return
  ${EndIf}
  System::Call 'kernel32::lstrcpynW(w .R2, p r1, i ${NSIS_MAX_STRLEN})'
  System::Call 'wtsapi32::WTSFreeMemory(p r1)'
  System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 7, *p .r1, *i .r2) i .r0'
  ${If} $0 = 0
    Pop $0
    Return
  ${EndIf}
  System::Call 'kernel32::lstrcpynW(w .r3, p r1, i ${NSIS_MAX_STRLEN})'
  System::Call 'wtsapi32::WTSFreeMemory(p r1)'
  ${IfThen} $3 != "" ${|} StrCpy $R2 "$3\$R2" ${|}
  System::Alloc 68 ; SECURITY_MAX_SID_SIZE
  Pop $4
  System::Call 'advapi32::LookupAccountNameW(p 0, w R2, p r4, *i 68, w .r5, *i ${NSIS_MAX_STRLEN}, *i .r6) i .r0'
  ${If} $0 <> 0
    !insertmacro SID_TEXT r4 $7
    ${If} $7 != ""
    ${AndIf} $7 == $AccountSid
      StrCpy $R0 1
    ${EndIf}
  ${EndIf}
  System::Free $4
  Pop $0
FunctionEnd

; Every name setup gives a file while it replaces it: one left from a run
; that stopped is removed first, and one that cannot be means a program
; holds it.
!macro CLEAR_STALE NAME
  Delete "$INSTDIR\${NAME}"
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    StrCpy $0 "$(FilesHeld)"
  ${EndIf}
!macroend

; RENAME FROM TO: one step of the swap, skipped after a failed one and when
; FROM is not there; a failure puts the reason into $0.
!macro RENAME FROM TO
  ${If} $0 == ""
  ${AndIf} ${FileExists} "$INSTDIR\${FROM}"
    ClearErrors
    Rename "$INSTDIR\${FROM}" "$INSTDIR\${TO}"
    ${IfThen} ${Errors} ${|} StrCpy $0 "$(FilesHeld)" ${|}
  ${EndIf}
!macroend
; UNDO FROM TO: the step back, when it was taken.
!macro UNDO FROM TO
  ${If} ${FileExists} "$INSTDIR\${TO}"
  ${AndIfNot} ${FileExists} "$INSTDIR\${FROM}"
    Rename "$INSTDIR\${TO}" "$INSTDIR\${FROM}"
  ${EndIf}
!macroend

; Puts Quillbright.scr.new and Quillbright.dll.new in the pair's place: each
; old file is renamed aside first, and when any step fails every step is
; taken back, so that the folder holds the old pair or the new one and never
; half of each. New files take the folder's permissions; a replaced file
; renamed aside keeps nothing of its own. $0 is empty when the new pair is
; in place.
Function SwapPair
  StrCpy $0 ""
  !insertmacro RENAME "Quillbright.scr" "Quillbright.scr.old"
  !insertmacro RENAME "Quillbright.scr.new" "Quillbright.scr"
  !insertmacro RENAME "Quillbright.dll" "Quillbright.dll.old"
  !insertmacro RENAME "Quillbright.dll.new" "Quillbright.dll"
  ${If} $0 != ""
    !insertmacro UNDO "Quillbright.dll.new" "Quillbright.dll"
    !insertmacro UNDO "Quillbright.dll" "Quillbright.dll.old"
    !insertmacro UNDO "Quillbright.scr.new" "Quillbright.scr"
    !insertmacro UNDO "Quillbright.scr" "Quillbright.scr.old"
    Delete "$INSTDIR\Quillbright.scr.new"
    Delete "$INSTDIR\Quillbright.dll.new"
  ${EndIf}
  ; A program still running from an old file keeps it until it ends; the
  ; next run of setup or the uninstaller removes it.
  ${If} $0 == ""
    Delete "$INSTDIR\Quillbright.scr.old"
    Delete "$INSTDIR\Quillbright.dll.old"
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
  StrCpy $0 ""
  !insertmacro CLEAR_STALE "Quillbright.scr.new"
  !insertmacro CLEAR_STALE "Quillbright.dll.new"
  !insertmacro CLEAR_STALE "Quillbright.scr.old"
  !insertmacro CLEAR_STALE "Quillbright.dll.old"
  !insertmacro CLEAR_STALE "Quillbright.ini.new"
  ; Settings left in a folder for every user are copied into a new file, so
  ; that they too take the folder's permissions.
  ${If} $0 == ""
  ${AndIf} $MultiUser.InstallMode == "AllUsers"
  ${AndIf} ${FileExists} "$INSTDIR\Quillbright.ini"
    System::Call 'kernel32::CopyFileW(w "$INSTDIR\Quillbright.ini", w "$INSTDIR\Quillbright.ini.new", i 1) i .r1'
    ${If} $1 <> 0
      ; MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH
      System::Call 'kernel32::MoveFileExW(w "$INSTDIR\Quillbright.ini.new", w "$INSTDIR\Quillbright.ini", i 9) i .r1'
    ${EndIf}
    ${If} $1 = 0
      Delete "$INSTDIR\Quillbright.ini.new"
      StrCpy $0 "$(FilesHeld)"
    ${EndIf}
  ${EndIf}
  ${If} $0 == ""
    ${If} ${RunningX64}
      File "/oname=Quillbright.scr.new" "${BUILD64}\Quillbright.scr"
      File "/oname=Quillbright.dll.new" "${BUILD64}\Quillbright.dll"
    ${Else}
      File "/oname=Quillbright.scr.new" "${BUILD32}\Quillbright.scr"
      File "/oname=Quillbright.dll.new" "${BUILD32}\Quillbright.dll"
    ${EndIf}
    Call SwapPair
  ${EndIf}
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
    SetErrorLevel 2
    Abort "$0"
  ${EndIf}
  ; Written new, never over the old one in place.
  Delete "$INSTDIR\uninstall.exe"
  ClearErrors
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(FilesHeld)" /SD IDOK
    SetErrorLevel 2
    Abort "$(FilesHeld)"
  ${EndIf}

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


; Whether the entry for every user, and this user's entry, name the folder
; the uninstaller runs from.
Var MachineEntry
Var UserEntry
; The uninstaller's token: 1 when elevated, and its type, 2 when UAC raised
; it from a limited one (read as both when they cannot be read).
Var Elevated
Var Elevation
; 1 in the elevated copy an unelevated uninstaller started (/Elevated).
Var Relaunched

; Back to the screen saver this account chose before, while Quillbright is
; still the chosen one.
Function un.RestoreSaver
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
FunctionEnd

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
  Delete "$INSTDIR\Quillbright.scr.old"
  Delete "$INSTDIR\Quillbright.dll.old"
  Delete "$INSTDIR\Quillbright.scr.new"
  Delete "$INSTDIR\Quillbright.dll.new"
  Delete "$INSTDIR\Quillbright.ini.new"
  ; Run in place (the elevated copy), the uninstaller holds its own file
  ; open: it goes, with its folder, at the next restart.
  Delete /REBOOTOK "$INSTDIR\uninstall.exe"
  Call un.RestoreSaver
  ; Every entry that names this folder goes with its uninstaller.
  ${If} $MachineEntry == 1
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
  ${If} $UserEntry == 1
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}

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

; The copy of the settings Windows keeps for a program whose writes under
; Program Files it virtualised, and the uninstalling user's own file (other
; users' own files are theirs). Removed at the user's own rights only: the
; user's programs can change those folders, and could turn a delete made
; with an administrator's rights onto any file.
Function un.RemoveOwnSettings
  ${If} $Elevation == 2
    Return
  ${EndIf}
  SetShellVarContext current
  StrCpy $0 "$INSTDIR" "" 3
  Delete "$LOCALAPPDATA\VirtualStore\$0\Quillbright.ini"
  RMDir "$LOCALAPPDATA\VirtualStore\$0"
  Delete "$LOCALAPPDATA\Quillbright\Quillbright.ini"
  RMDir "$LOCALAPPDATA\Quillbright"
FunctionEnd

Section /o "un.$(RemoveSettingsName)" RemoveSettings
  Delete "$INSTDIR\Quillbright.ini"
  Call un.RemoveOwnSettings
  RMDir "$INSTDIR"
  ; The elevated copy tells the instance that started it to remove the
  ; user's own copy, at the user's rights.
  ${IfThen} $Relaunched == 1 ${|} SetErrorLevel 3 ${|}
SectionEnd

Section "-un.Restart"
  ${If} ${FileExists} "$INSTDIR\uninstall.exe"
    RMDir /REBOOTOK "$INSTDIR"
    ; KEY_WRITE | KEY_WOW64_64KEY, as the view SetRegView chose.
    System::Call 'advapi32::RegCreateKeyExW(p 0x80000002, w "${PENDING_KEY}", i 0, p 0, i 1, i 0x20106, p 0, *p .r0, p 0) i .r1'
    ${If} $1 = 0
      System::Call 'advapi32::RegCloseKey(p r0)'
      WriteRegStr HKLM "${PENDING_KEY}" "Folder" "$INSTDIR"
    ${EndIf}
  ${EndIf}
SectionEnd

; Starts "$INSTDIR\uninstall.exe" $1 elevated and waits for it: $0 is its
; exit code, empty when it did not start (UAC refused or cancelled).
Function un.RunElevated
  ; SHELLEXECUTEINFOW: SEE_MASK_NOCLOSEPROCESS, "runas", SW_SHOWNORMAL
  !if ${NSIS_PTR_SIZE} > 4
    System::Call '*(i 112, i 0x40, p $HWNDPARENT, w "runas", w "$INSTDIR\uninstall.exe", w r1, p 0, i 1, i 0, p 0, p 0, p 0, p 0, i 0, i 0, p 0, p 0) p .r2'
    StrCpy $4 104
  !else
    System::Call '*(i 60, i 0x40, p $HWNDPARENT, w "runas", w "$INSTDIR\uninstall.exe", w r1, p 0, i 1, p 0, p 0, p 0, p 0, i 0, p 0, p 0) p .r2'
    StrCpy $4 56
  !endif
  StrCpy $0 ""
  System::Call 'shell32::ShellExecuteExW(p r2) i .r3'
  ${If} $3 <> 0
    IntPtrOp $4 $2 + $4
    System::Call '*$4(p .r3)'
    ${If} $3 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r3, i -1)'
      System::Call 'kernel32::GetExitCodeProcess(p r3, *i .r0) i .r4'
      ${IfThen} $4 = 0 ${|} StrCpy $0 2 ${|}
      System::Call 'kernel32::CloseHandle(p r3)'
    ${Else}
      StrCpy $0 2
    ${EndIf}
  ${EndIf}
  System::Free $2
FunctionEnd

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
  ; What is removed follows from where the uninstaller runs: the entry for
  ; every user (which only administrators can write) counts when it names
  ; this folder, and makes the removal one for every user. This user's own
  ; entry never steers it; it goes when it names the folder too.
  Call un.ResolveFolder
  StrCpy $MachineEntry 0
  StrCpy $UserEntry 0
  StrCpy $R0 $INSTDIR
  ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $INSTDIR != ""
    Call un.ResolveFolder
    ${IfThen} $INSTDIR == $R0 ${|} StrCpy $MachineEntry 1 ${|}
  ${EndIf}
  ReadRegStr $INSTDIR HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $INSTDIR != ""
    Call un.ResolveFolder
    ${IfThen} $INSTDIR == $R0 ${|} StrCpy $UserEntry 1 ${|}
  ${EndIf}
  StrCpy $INSTDIR $R0
  StrCpy $Elevated 1
  StrCpy $Elevation 2
  System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r2' ; TOKEN_QUERY
  ${If} $2 <> 0
    System::Call 'advapi32::GetTokenInformation(p r1, i 20, *i .r3, i 4, *i .r4) i .r2' ; TokenElevation
    ${IfThen} $2 <> 0 ${|} StrCpy $Elevated $3 ${|}
    System::Call 'advapi32::GetTokenInformation(p r1, i 18, *i .r3, i 4, *i .r4) i .r2' ; TokenElevationType
    ${IfThen} $2 <> 0 ${|} StrCpy $Elevation $3 ${|}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  ${If} $MachineEntry == 1
    ; The uninstaller asks for no elevation (so a per-user installation is
    ; removed at the user's rights); this one needs it: the copy in the
    ; folder setup secured is started elevated instead, run in place there
    ; (_?=, not a copy in a temporary folder the user's programs can
    ; write), with the options it knows and nothing else from this command
    ; line. /Elevated says it was asked for once already. The user's own
    ; files and screen saver are put back here, at the user's rights, once
    ; it succeeded; its exit code is this one's.
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/Elevated" $1
    ${IfNot} ${Errors}
      StrCpy $Relaunched 1
    ${EndIf}
    ${If} $Elevated == 0
      ${If} $Relaunched == 1
        MessageBox MB_OK|MB_ICONSTOP "$(UninstallNeedsAdmin)" /SD IDOK
        SetErrorLevel 2
        Quit
      ${EndIf}
      StrCpy $1 "/Elevated"
      ${IfThen} ${Silent} ${|} StrCpy $1 "/S $1" ${|}
      ${If} ${SectionIsSelected} ${RemoveSettings}
        StrCpy $1 "$1 /RemoveSettings"
      ${EndIf}
      StrCpy $1 "$1 _?=$INSTDIR"
      Call un.RunElevated
      StrCpy $5 $0
      ${If} $5 == ""
        MessageBox MB_OK|MB_ICONSTOP "$(UninstallNeedsAdmin)" /SD IDOK
        SetErrorLevel 2
      ${ElseIf} $5 = 0
      ${OrIf} $5 = 3
        SetShellVarContext current
        Call un.RestoreSaver
        ${If} $5 = 3
        ${OrIf} ${SectionIsSelected} ${RemoveSettings}
          Call un.RemoveOwnSettings
        ${EndIf}
        SetErrorLevel 0
      ${Else}
        SetErrorLevel $5
      ${EndIf}
      Quit
    ${EndIf}
    SetShellVarContext all
  ${Else}
    ; Elevated (raised by UAC, or an administrator's token that has no
    ; other: UAC off, the built-in Administrator) for a folder no
    ; administrators' entry names: the folder came from the command line or
    ; is one the user's programs can change, and a delete there with an
    ; administrator's rights could be turned onto any file.
    ${If} $Elevated == 1
      MessageBox MB_OK|MB_ICONSTOP "$(UninstallElevated)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    SetShellVarContext current
  ${EndIf}
  Call un.CloseRunningQuillbright
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${RemoveSettings} "$(RemoveSettingsText)"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
