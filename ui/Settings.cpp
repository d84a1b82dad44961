#include "ui/Settings.h"

#include <algorithm>
#include <iterator>

#include "base/CodePage932.h"

namespace {

bool EndsWithBackslash(const char* text) {
    std::string_view view(text);
    bool backslash = false;
    for (std::size_t i = 0; i < view.size(); i += cp932::CharLength(view, i))
        backslash = view[i] == '\\';
    return backslash;
}

// The element types as the "DataType" value stores them: 0, 1 and 2.
constexpr ElementType kStoredTypes[] = {ElementType::Char, ElementType::Uint, ElementType::Ulong};

}  // namespace

CRegistryKey OpenSettingsKey() { return CRegistryKey::Create(HKEY_CURRENT_USER, kSettingsKey); }

ElementType ReadDataType(const CRegistryKey& key) {
    const std::optional<DWORD> value = key.ReadDword("DataType");
    return value && *value < std::size(kStoredTypes) ? kStoredTypes[*value] : ElementType::Char;
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

void WriteSettings(const CRegistryKey& key, ElementType dataType, const char* lastDir, BOOL topWin) {
    if (!key) return;
    const auto stored = std::find(std::begin(kStoredTypes), std::end(kStoredTypes), dataType) - std::begin(kStoredTypes);
    // Each write on its own: one that fails does not stop the others.
    key.WriteDword("DataType", static_cast<DWORD>(stored));
    key.WriteString("LastDir", lastDir);
    key.WriteDword("TopWin", static_cast<DWORD>(topWin));
}
