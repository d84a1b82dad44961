#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// GetModuleFileNameA's form.
using ModuleFileNameFunction = DWORD(WINAPI*)(HMODULE, LPSTR, DWORD);
// GetWindowsDirectoryA's and GetSystemDirectoryA's form.
using SystemFolderFunction = UINT(WINAPI*)(LPSTR, UINT);

// The program file's full path, however long; empty if the system cannot
// give it. `moduleFileName` is the system's function but in tests.
std::string ProgramPath(ModuleFileNameFunction moduleFileName = &::GetModuleFileNameA);

// `fileName` in the system folder that `folder` names into a MAX_PATH
// buffer (GetWindowsDirectoryA, GetSystemDirectoryA); empty when the call
// fails or the folder does not fit.
std::string SystemFolderFile(SystemFolderFunction folder, std::string_view fileName);
