#include "ui/Settings.h"

#include <cstring>

#include "app/CodePage932.h"

namespace {

// RegQueryValueExA does not check types: a REG_SZ "5" read into a DWORD
// succeeds. So the type and the size are checked here.
bool ReadDword(HKEY key, const char* name, DWORD& value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (key == nullptr ||
        ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_DWORD || size != sizeof data) return false;
    value = data;
    return true;
}

bool EndsWithBackslash(const char* text) {
    std::string_view view(text);
    bool backslash = false;
    for (std::size_t i = 0; i < view.size(); i += cp932::CharLength(view, i))
        backslash = view[i] == '\\';
    return backslash;
}

}  // namespace

UniqueRegKey OpenSettingsKey() {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return {};
    return UniqueRegKey(key);
}

DataType ReadDataType(HKEY key) {
    DWORD value = 0;
    if (!ReadDword(key, "DataType", value)) return DataType::Char;
    return NormalizedDataType(static_cast<DataType>(value));
}

void ReadLastDir(HKEY key, char (&lastDir)[kLastDirSize]) {
    DWORD type = 0;
    DWORD size = kLastDirSize;
    // The stored text is used only when it is a string whose terminating
    // zero lies inside what was read: a value without one never runs past
    // the buffer.
    if (key != nullptr &&
        ::RegQueryValueExA(key, "LastDir", nullptr, &type, reinterpret_cast<BYTE*>(lastDir), &size) == ERROR_SUCCESS &&
        type == REG_SZ && size > 0 && std::memchr(lastDir, '\0', size) != nullptr)
        return;

    // GetCurrentDirectoryA answers the length without the zero when the text
    // fitted, else the size it needs; room for one more "\" is kept.
    DWORD length = ::GetCurrentDirectoryA(kLastDirSize, lastDir);
    if (length == 0 || length >= kLastDirSize - 1) {
        lastDir[0] = '\0';
        return;
    }
    if (!EndsWithBackslash(lastDir)) {
        lastDir[length] = '\\';
        lastDir[length + 1] = '\0';
    }
}

void ReadTopWin(HKEY key, BOOL& topWin) {
    DWORD value = 0;
    if (ReadDword(key, "TopWin", value)) topWin = static_cast<BOOL>(value);
}

void WriteSettings(HKEY key, DataType dataType, const char* lastDir, BOOL topWin) {
    if (key == nullptr) return;
    DWORD type = static_cast<DWORD>(dataType);
    DWORD top = static_cast<DWORD>(topWin);
    ::RegSetValueExA(key, "DataType", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&type), sizeof type);
    ::RegSetValueExA(key, "LastDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(lastDir),
                     static_cast<DWORD>(std::strlen(lastDir) + 1));
    ::RegSetValueExA(key, "TopWin", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&top), sizeof top);
}
