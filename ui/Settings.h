#pragma once

// The three settings kept per user between runs, in the registry key
// HKEY_CURRENT_USER\Software\Corvane\Tabulo. A value that is missing, or
// stored with another type or size than the program writes, counts as
// missing and takes its default; nothing is ever shown about settings.

#include <windows.h>

#include "generator/ArrayForm.h"
#include "winfw/RegistryKey.h"

inline constexpr char kSettingsKey[] = "Software\\Corvane\\Tabulo";
inline constexpr std::size_t kLastDirSize = 256;  // bytes, terminating zero included

// Opens the key, creating it when missing; empty when neither works.
CRegistryKey OpenSettingsKey();

// "DataType" (REG_DWORD): 0 char, 1 UINT, 2 ULONG; char when missing,
// malformed or outside 0 to 2.
ElementType ReadDataType(const CRegistryKey& key);
// "LastDir" (REG_SZ): the stored folder as it is, or else the current
// directory with "\" appended (unless it ends in one already); empty when
// even that does not fit.
void ReadLastDir(const CRegistryKey& key, char (&lastDir)[kLastDirSize]);
// "TopWin" (REG_DWORD): `topWin` keeps its value when the value is missing
// or malformed.
void ReadTopWin(const CRegistryKey& key, BOOL& topWin);

// Writes all three; a failed write is ignored and the others still written.
void WriteSettings(const CRegistryKey& key, ElementType dataType, const char* lastDir, BOOL topWin);
