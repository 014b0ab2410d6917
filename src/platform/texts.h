// The program's own texts in code page 932, as the ANSI entry points receive
// them. Source files are UTF-8, so the Japanese texts are kept here as byte
// escapes with the readable text beside them.
#pragma once

namespace qb::texts {

inline constexpr char kAppTitle[] = "Quillbright (ScreenSaver)";

inline constexpr char kSaverWindowTitle[] = "Quillbright_Main";
inline constexpr char kSettingsDialogTitle[] = "<Quillbright>";
inline constexpr char kCompanionWindowTitle[] = "Quillbright_VC";

inline constexpr char kIniFileSuffix[] = "\\Quillbright.ini";
inline constexpr char kCompanionSuffix[] = "\\Quillbright.dll";
// The user's own settings folder, under the local application data folder.
inline constexpr char kUserFolderSuffix[] = "\\Quillbright";

inline constexpr char kIniSection[] = "Section";
// "BGM区分"
inline constexpr char kKeyMusicKind[] = "BGM\x8B\xE6\x95\xAA";
// "BGMﾘﾋﾟｰﾄ"
inline constexpr char kKeyRepeatTrack[] = "BGM\xD8\xCB\xDF\xB0\xC4";
// "BGMﾌｧｲﾙ"
inline constexpr char kKeyMusicFile[] = "BGM\xCC\xA7\xB2\xD9";

// "Quillbright.dll が同じﾌｫﾙﾀﾞに見つかりません！"
inline constexpr char kCompanionMissing[] =
    "Quillbright.dll \x82\xAA\x93\xAF\x82\xB6\xCC\xAB\xD9\xC0\xDE\x82\xC9"
    "\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x49";

// "設定を保存できませんでした。"
inline constexpr char kSettingsNotSaved[] =
    "\x90\xDD\x92\xE8\x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC"
    "\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81\x42";

// "このﾌｧｲﾙ名は保存できません。"
inline constexpr char kFileNameNotKept[] =
    "\x82\xB1\x82\xCC\xCC\xA7\xB2\xD9\x96\xBC\x82\xCD\x95\xDB\x91\xB6"
    "\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x81\x42";

// "コマンド文字列が指定されていません"
inline constexpr char kMciNoCommand[] =
    "\x83\x52\x83\x7D\x83\x93\x83\x68\x95\xB6\x8E\x9A\x97\xF1\x82\xAA"
    "\x8E\x77\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";

// "Error (文字列が取れません)"
inline constexpr char kMciNoErrorText[] =
    "Error (\x95\xB6\x8E\x9A\x97\xF1\x82\xAA\x8E\xE6\x82\xEA\x82\xDC\x82\xB9"
    "\x82\xF1)";

// The skinned button's persisted property keys and its caption defaults: a
// caption equal to the written default is not kept, and reads back as the
// reading default.
inline constexpr char kCommandKeyEnabled[] = "Enabled";
inline constexpr char kCommandKeyCaption[] = "Caption";
inline constexpr char kCommandKeyFont[] = "Font";
inline constexpr char kCommandKeyFirstRun[] = "FirstRun";
inline constexpr char kCommandKeyFontColour[] = "FontColour";
inline constexpr char kCommandKeyVisible[] = "Visible";
inline constexpr char kCommandCaption[] = "Command";
inline constexpr char kCommandReadCaption[] = "Command1";
inline constexpr char kCommandClassName[] = "Quillbright.Command";

// "ＭＳ Ｐゴシック"
inline constexpr char kDesignFontFace[] =
    "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";

// The settings dialog's captions, labels and file chooser.
// "設定"
inline constexpr char kCaptionSave[] = "\x90\xDD\x92\xE8";
// "ｷｬﾝｾﾙ"
inline constexpr char kCaptionCancel[] = "\xB7\xAC\xDD\xBE\xD9";
inline constexpr char kCaptionChooseFile[] = "...";
inline constexpr char kLabelHeading[] = "BGM";
// "なし"
inline constexpr char kLabelNoMusic[] = "\x82\xC8\x82\xB5";
// "音楽CD"
inline constexpr char kLabelAudioCd[] = "\x89\xB9\x8A\x79" "CD";
// "MP3、WAV"
inline constexpr char kLabelMusicFile[] = "MP3\x81\x41" "WAV";
// "曲目をﾘﾋﾟｰﾄ"
inline constexpr char kLabelRepeat[] = "\x8B\xC8\x96\xDA\x82\xF0\xD8\xCB\xDF\xB0\xC4";
// "BGMﾌｧｲﾙ (MP3 WAV)", then the pattern: one filter pair, ended by two NULs
// (the literal's own NUL is the second).
inline constexpr char kMusicFileFilter[] = "BGM\xCC\xA7\xB2\xD9 (MP3 WAV)\0*.MP3;*.WAV\0";
// "ﾌｧｲﾙを開く"
inline constexpr char kFileChooserTitle[] = "\xCC\xA7\xB2\xD9\x82\xF0\x8A\x4A\x82\xAD";

}  // namespace qb::texts
