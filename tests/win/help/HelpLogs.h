#pragma once

// What the help tests and the stand-ins they load into other processes (the
// stand-in engine, the destroy recorder) agree on. The stand-ins tell what
// happened through log files: one line per event, appended to the file an
// environment variable names.

#include <windows.h>

#include <cstdio>
#include <string>

#include "winfw/Handles.h"

inline constexpr char kFakeEngineLogVariable[] = "ARRAYFORGE_FAKE_ENGINE_LOG";
inline constexpr char kFakeEngineRefuseVariable[] = "ARRAYFORGE_FAKE_ENGINE_REFUSE";
inline constexpr char kDestroyLogVariable[] = "ARRAYFORGE_DESTROY_LOG";
// The stand-in engine answers each call with this plus the command.
inline constexpr UINT_PTR kFakeResultBase = 0x4A000000;

inline std::string EnvironmentVariable(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(value, length) : std::string();
}

// Opened and closed for each line, so that the log is complete whenever the
// process stops.
inline void AppendLogLine(const char* logVariable, const std::string& line) {
    const std::string logPath = EnvironmentVariable(logVariable);
    if (logPath.empty()) return;
    UniqueFile file(::CreateFileA(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const std::string text = std::string(line).append("\n");
    DWORD written = 0;
    ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Numbers in the logs: lower-case hexadecimal without prefix.
inline std::string LogNumber(UINT_PTR value) {
    char text[16];
    std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(value));
    return text;
}
