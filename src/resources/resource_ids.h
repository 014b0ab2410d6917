// Resource identifiers shared by the resource script and the code.
#pragma once

// The preview still: a 24-bit bitmap of the saver's look.
#define IDB_PREVIEW_STILL 101

// The skinned button's state pictures, 64 x 25, 24-bit
// (tools/make_button_faces.py), in the order of FacePicture; then the same
// at twice the size, 128 x 50, for screens of more than 96 dpi.
#define IDB_COMMAND_NORMAL 111
#define IDB_COMMAND_HIGHLIGHT 112
#define IDB_COMMAND_PRESSED 113
#define IDB_COMMAND_SELECTED 114
#define IDB_COMMAND_HIGHLIGHTSELECT 115
#define IDB_COMMAND_DISABLE 116
#define IDB_COMMAND_NORMAL_2X 131
#define IDB_COMMAND_HIGHLIGHT_2X 132
#define IDB_COMMAND_PRESSED_2X 133
#define IDB_COMMAND_SELECTED_2X 134
#define IDB_COMMAND_HIGHLIGHTSELECT_2X 135
#define IDB_COMMAND_DISABLE_2X 136

// The settings dialog's pictures (tools/make_dialog_pictures.py): the
// texture strip, the two choice marks (and the marks at twice the size)
// and the link label's pointer.
#define IDB_DIALOG_TEXTURE 121
#define IDB_DIALOG_MARK_OFF 122
#define IDB_DIALOG_MARK_ON 123
#define IDC_DIALOG_LINK 124
#define IDB_DIALOG_MARK_OFF_2X 125
#define IDB_DIALOG_MARK_ON_2X 126
