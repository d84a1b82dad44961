#pragma once

// What the help loader's tests and their stand-in engine agree on.

#include <windows.h>

inline constexpr char kFakeEngineLogVariable[] = "ARRAYFORGE_FAKE_ENGINE_LOG";
inline constexpr char kFakeEngineRefuseVariable[] = "ARRAYFORGE_FAKE_ENGINE_REFUSE";
// The stand-in answers each call with this plus the command.
inline constexpr UINT_PTR kFakeResultBase = 0x4A000000;
