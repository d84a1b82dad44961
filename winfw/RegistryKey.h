#pragma once

// One open registry key and the few typed reads and writes the program
// makes. RegQueryValueExA checks neither types nor terminators: a REG_SZ "5"
// read into a DWORD succeeds, and a string may have been stored without its
// zero. The reads here check both, so that callers only see what they asked for.

#include <windows.h>

#include <optional>
#include <span>

#include "winfw/Handles.h"

class CRegistryKey {
public:
    CRegistryKey() = default;

    // RegOpenKeyExA: an existing key, or an empty object; `error` (if given)
    // receives the function's answer.
    static CRegistryKey Open(HKEY root, const char* subKey, REGSAM access, LONG* error = nullptr);
    // RegCreateKeyExA: the key, created when missing (non-volatile, full access).
    static CRegistryKey Create(HKEY root, const char* subKey);

    explicit operator bool() const { return m_key.IsValid(); }
    HKEY Get() const { return m_key.Get(); }
    void Close() { m_key.Reset(); }

    // A REG_DWORD of exactly four bytes; nothing for a value that is missing
    // or has another type or size.
    std::optional<DWORD> ReadDword(const char* name) const;

    // The value `name` (null: the key's default value) as a terminated text
    // in `buffer`, its stored type in `type` if asked; the type is not
    // checked. Answers ERROR_SUCCESS, or the error of the query:
    // ERROR_MORE_DATA also for a value that fills the buffer with no zero in
    // it. A shorter value stored without its zero is terminated here.
    LONG ReadString(const char* name, std::span<char> buffer, DWORD* type = nullptr) const;

    // REG_DWORD, four bytes; REG_SZ with its terminating zero. A write that
    // fails changes nothing and is not reported: the program's settings are
    // kept when they can be, and nothing is ever shown about them.
    void WriteDword(const char* name, DWORD value) const;
    void WriteString(const char* name, const char* text) const;

private:
    explicit CRegistryKey(HKEY key) : m_key(key) {}

    UniqueRegKey m_key;
};
