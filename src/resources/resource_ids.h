// Resource identifiers shared by the resource script and the code.
#pragma once

// The preview still: a 24-bit bitmap of the saver's look.
#define IDB_PREVIEW_STILL 101
