#pragma once

// The program's version, shared by the code and the version resource
// (plain macros so that the resource compiler can read them too).
#define ARRAYFORGE_VERSION_NUMBERS 1, 0, 5, 1
#define ARRAYFORGE_VERSION_TEXT "1.0.5.1"
// The same numbers as the version record's FileVersion and ProductVersion
// texts write them.
#define ARRAYFORGE_VERSION_RECORD_TEXT "1, 0, 5, 1"
