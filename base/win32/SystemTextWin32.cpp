#include <windows.h>

#include "base/SystemText.h"

namespace {

// Each conversion first asks for the length (a call without a buffer
// answers it), then converts; an empty text would make the first call fail.
std::wstring WideOf(std::string_view text, UINT codePage) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string NarrowOf(std::wstring_view wide, UINT codePage) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    std::string text(
        static_cast<std::size_t>(WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    return text;
}

}  // namespace

std::string SystemTextToCodePage932(std::string_view text) { return std::string(text); }

std::string CodePage932ToSystemText(std::string_view text) { return std::string(text); }

PathEncoding SystemPathEncoding() { return PathEncoding::CodePage932; }

std::filesystem::path PathOfSystemText(std::string_view text) { return std::filesystem::path(WideOf(text, CP_ACP)); }

std::string SystemTextOfPath(const std::filesystem::path& path) { return NarrowOf(path.native(), CP_ACP); }

std::string SystemTextToUtf8(std::string_view text) { return NarrowOf(WideOf(text, CP_ACP), CP_UTF8); }
