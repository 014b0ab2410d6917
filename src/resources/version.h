// The program's version, in one place: the version blocks of the programs,
// the build and the release packages all read it from here.
#pragma once

#define QB_VERSION_MAJOR 1
#define QB_VERSION_MINOR 0
#define QB_VERSION_PATCH 0
#define QB_VERSION_BUILD 0
#define QB_VERSION_TEXT "1.0.0.0"
