; The Quillbright installer: puts the build that matches the system into
; Program Files\Quillbright, makes it the current user's screen saver and
; registers an uninstaller that puts everything back.
;
; makensis -DVERSION=a.b.c.d -DBUILD32=dir -DBUILD64=dir -DOUTFILE=file
;          [-DICON=file] quillbright.nsi
; (scripts/package passes these.) The release is the x86-unicode installer,
; which runs on every Windows; -X"Target amd64-unicode" makes the same one
; for 64-bit Windows alone (the installer test uses it where 32-bit
; programs cannot run).

Unicode True
SetCompressor /SOLID lzma
RequestExecutionLevel admin
; A file that cannot be written or removed (a running saver holds its
; program) is an error, never a file silently skipped.
AllowSkipFiles off

!ifndef VERSION | BUILD32 | BUILD64 | OUTFILE
  !error "VERSION, BUILD32, BUILD64 and OUTFILE must be defined"
!endif
!ifndef ICON
  !define ICON "..\src\resources\quillbright.ico"
!endif

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Quillbright"
!define PUBLISHER "Quillbright"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillbright"
!define STATE_KEY "Software\Quillbright"
!define DESKTOP_KEY "Control Panel\Desktop"

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

Var ShortSaver

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
  ; /D= sets the folder before this runs; otherwise Program Files of the
  ; build that matches the system.
  ${If} $INSTDIR == ""
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
    ${EndIf}
  ${EndIf}
  Call CloseRunningQuillbright
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "/oname=Quillbright.scr" "${BUILD64}\Quillbright.scr"
    File "/oname=Quillbright.dll" "${BUILD64}\Quillbright.dll"
  ${Else}
    File "/oname=Quillbright.scr" "${BUILD32}\Quillbright.scr"
    File "/oname=Quillbright.dll" "${BUILD32}\Quillbright.dll"
  ${EndIf}

  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The screen saver, as the display settings would set it (short path).
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

  ; Add/Remove Programs.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quillbright.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; ---------------------------------------------------------------- uninstaller


Section "-un.$(ProgramName)"
  ; Nothing else is undone while a program file stays: the uninstaller and
  ; its Add/Remove Programs entry remain for another try.
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
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

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
  Call un.CloseRunningQuillbright
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${RemoveSettings} "$(RemoveSettingsText)"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
