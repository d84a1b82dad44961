#pragma once

// What the help tests share: registry values changed for a test and put
// back after it, and the stand-in engine (FakeEngine.cpp) and its log.

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/win32/Handles.h"

// Where the engine is registered (under HKEY_CLASSES_ROOT, the default value).
inline constexpr char kEngineKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

// One registry value, put back as it was when the holder goes.
class ScopedValue {
public:
    ScopedValue(HKEY root, const char* subKey, const char* name) : m_name(name) {
        HKEY key = nullptr;
        ::RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        m_key.Reset(key);
        m_old.resize(1024);
        DWORD size = static_cast<DWORD>(m_old.size());
        m_had = ::RegQueryValueExA(key, name, nullptr, &m_type, reinterpret_cast<BYTE*>(m_old.data()), &size) == 0;
        m_old.resize(size);
    }
    ~ScopedValue() {
        if (m_had) Set(m_old, m_type);
        if (!m_had) Remove();
    }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

    // The bytes as given: a string brings its own terminating zero.
    void Set(const std::string& bytes, DWORD type = REG_SZ) {
        ::RegSetValueExA(m_key.Get(), m_name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                         static_cast<DWORD>(bytes.size()));
    }
    void Remove() { ::RegDeleteValueA(m_key.Get(), m_name); }

private:
    UniqueRegKey m_key;
    const char* m_name;
    std::string m_old;
    DWORD m_type = 0;
    bool m_had = false;
};

// The stand-in, built beside the test programs.
inline std::string FakeEnginePath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string self = path;
    return self.substr(0, self.find_last_of('\\')) + "\\fake_engine.dll";
}

inline std::vector<std::string> EngineLog(const std::string& path = "engine.log") {
    std::ifstream log(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}
