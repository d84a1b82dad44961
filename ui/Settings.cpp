#include "ui/Settings.h"

#include <algorithm>
#include <array>

#include "base/CodePage932.h"
#include "winfw/RegistryKey.h"

namespace {

bool EndsWithBackslash(const char* text) {
    std::string_view view(text);
    bool backslash = false;
    for (std::size_t i = 0; i < view.size(); i += cp932::CharLength(view, i))
        backslash = view[i] == '\\';
    return backslash;
}

// The element types as the "DataType" value stores them: 0, 1 and 2.
constexpr std::array kStoredTypes = {ElementType::Char, ElementType::Uint, ElementType::Ulong};

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

}  // namespace

Settings Settings::Load() {
    const CRegistryKey key = CRegistryKey::Create(HKEY_CURRENT_USER, kSettingsKey);
    Settings settings;
    const std::optional<DWORD> stored = key.ReadDword("DataType");
    if (stored && *stored < kStoredTypes.size()) settings.elementType = kStoredTypes[*stored];
    ReadLastDir(key, settings.lastDir);
    if (const std::optional<DWORD> topMost = key.ReadDword("TopWin")) settings.topMost = static_cast<BOOL>(*topMost);
    return settings;
}

void Settings::Save() const {
    const CRegistryKey key = CRegistryKey::Create(HKEY_CURRENT_USER, kSettingsKey);
    if (!key) return;
    const auto stored = std::find(kStoredTypes.begin(), kStoredTypes.end(), elementType) - kStoredTypes.begin();
    // Each write on its own: one that fails does not stop the others.
    key.WriteDword("DataType", static_cast<DWORD>(stored));
    key.WriteString("LastDir", lastDir);
    key.WriteDword("TopWin", static_cast<DWORD>(topMost));
}
