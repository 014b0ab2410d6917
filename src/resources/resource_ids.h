// Resource identifiers shared by the resource script and the code.
#pragma once

// The preview still: a 24-bit bitmap of the saver's look.
#define IDB_PREVIEW_STILL 101

// The skinned button's state pictures, 64 x 25, 24-bit
// (tools/make_button_faces.py), in the order of FacePicture.
#define IDB_COMMAND_NORMAL 111
#define IDB_COMMAND_HIGHLIGHT 112
#define IDB_COMMAND_PRESSED 113
#define IDB_COMMAND_SELECTED 114
#define IDB_COMMAND_HIGHLIGHTSELECT 115
#define IDB_COMMAND_DISABLE 116

// The settings dialog's pictures (tools/make_dialog_pictures.py): the
// texture strip, the two choice marks and the link label's pointer.
#define IDB_DIALOG_TEXTURE 121
#define IDB_DIALOG_MARK_OFF 122
#define IDB_DIALOG_MARK_ON 123
#define IDC_DIALOG_LINK 124
