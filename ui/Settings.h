#pragma once

// The three settings kept per user between runs, in the registry key
// HKEY_CURRENT_USER\Software\Corvane\Tabulo. A value that is missing, or
// stored with another type or size than the program writes, counts as
// missing and takes its default; nothing is ever shown about settings.

#include <windows.h>

#include <cstddef>

#include "generator/ArrayForm.h"

inline constexpr char kSettingsKey[] = "Software\\Corvane\\Tabulo";
inline constexpr std::size_t kLastDirSize = 256;  // bytes, terminating zero included

struct Settings {
    // "DataType" (REG_DWORD): 0 char, 1 UINT, 2 ULONG; char when missing,
    // malformed or outside 0 to 2.
    ElementType elementType = ElementType::Char;
    // "LastDir" (REG_SZ): the stored folder as it is, or else the current
    // directory with "\" appended (unless it ends in one already); empty
    // when even that does not fit.
    char lastDir[kLastDirSize] = {};
    // "TopWin" (REG_DWORD): stay on top; off when missing or malformed.
    BOOL topMost = FALSE;

    // Reads the key, creating it when missing; the defaults when neither works.
    static Settings Load();
    // Writes all three, creating the key when missing; a failed write is
    // ignored and the others still written.
    void Save() const;
};
