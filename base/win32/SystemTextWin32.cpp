#include <windows.h>

#include "base/SystemText.h"

std::string SystemTextToCodePage932(std::string_view text) { return std::string(text); }

std::string CodePage932ToSystemText(std::string_view text) { return std::string(text); }

PathEncoding SystemPathEncoding() { return PathEncoding::CodePage932; }

std::string SystemTextToUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), wideLength);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, result.data(), length, nullptr, nullptr);
    return result;
}
