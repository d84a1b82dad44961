#include "winfw/RegistryKey.h"

#include <cstring>

CRegistryKey CRegistryKey::Open(HKEY root, const char* subKey, REGSAM access, LONG* error) {
    HKEY key = nullptr;
    const LONG result = ::RegOpenKeyExA(root, subKey, 0, access, &key);
    if (error != nullptr) *error = result;
    return result == ERROR_SUCCESS ? CRegistryKey(key) : CRegistryKey();
}

CRegistryKey CRegistryKey::Create(HKEY root, const char* subKey) {
    HKEY key = nullptr;
    // Whether the key was created or opened is not asked for.
    if (::RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return {};
    return CRegistryKey(key);
}

std::optional<DWORD> CRegistryKey::ReadDword(const char* name) const {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (!m_key ||
        ::RegQueryValueExA(m_key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_DWORD || size != sizeof value) return std::nullopt;
    return value;
}

LONG CRegistryKey::ReadString(const char* name, std::span<char> buffer, DWORD* type) const {
    if (!m_key) return ERROR_INVALID_HANDLE;
    // On success `size` is the number of bytes stored, terminator or not.
    DWORD size = static_cast<DWORD>(buffer.size());
    const LONG result =
        ::RegQueryValueExA(m_key.Get(), name, nullptr, type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result != ERROR_SUCCESS) return result;
    if (std::memchr(buffer.data(), '\0', size) != nullptr) return ERROR_SUCCESS;
    if (size >= buffer.size()) return ERROR_MORE_DATA;
    buffer[size] = '\0';
    return ERROR_SUCCESS;
}

void CRegistryKey::WriteDword(const char* name, DWORD value) const {
    ::RegSetValueExA(m_key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void CRegistryKey::WriteString(const char* name, const char* text) const {
    const auto size = static_cast<DWORD>(std::strlen(text) + 1);
    ::RegSetValueExA(m_key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
}
