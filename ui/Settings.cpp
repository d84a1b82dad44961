#include "ui/Settings.h"

#include "base/CodePage932.h"

namespace {

bool EndsWithBackslash(const char* text) {
    std::string_view view(text);
    bool backslash = false;
    for (std::size_t i = 0; i < view.size(); i += cp932::CharLength(view, i))
        backslash = view[i] == '\\';
    return backslash;
}

}  // namespace

CRegistryKey OpenSettingsKey() { return CRegistryKey::Create(HKEY_CURRENT_USER, kSettingsKey); }

DataType ReadDataType(const CRegistryKey& key) {
    const std::optional<DWORD> value = key.ReadDword("DataType");
    return value ? NormalizedDataType(static_cast<DataType>(*value)) : DataType::Char;
}

void ReadLastDir(const CRegistryKey& key, char (&lastDir)[kLastDirSize]) {
    DWORD type = 0;
    if (key.ReadString("LastDir", lastDir, &type) == ERROR_SUCCESS && type == REG_SZ) return;

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

void ReadTopWin(const CRegistryKey& key, BOOL& topWin) {
    if (const std::optional<DWORD> value = key.ReadDword("TopWin")) topWin = static_cast<BOOL>(*value);
}

void WriteSettings(const CRegistryKey& key, DataType dataType, const char* lastDir, BOOL topWin) {
    if (!key) return;
    // Each write on its own: one that fails does not stop the others.
    key.WriteDword("DataType", static_cast<DWORD>(dataType));
    key.WriteString("LastDir", lastDir);
    key.WriteDword("TopWin", static_cast<DWORD>(topWin));
}
