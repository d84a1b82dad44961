#include "winfw/LinkLauncher.h"

#include <shellapi.h>

#include <cstring>

#include "base/CodePage932.h"
#include "winfw/RegistryKey.h"

namespace {

constexpr std::string_view kQuotedPlaceholder = "\"%1\"";
constexpr std::string_view kPlaceholder = "%1";
constexpr char kCommandKeySuffix[] = "\\shell\\open\\command";

std::size_t PlaceholderCut(std::string_view commandLine) {
    // The quoted form is searched character by character: a lead byte and the
    // byte after it are one character, so a match never starts inside one.
    for (std::size_t pos = 0; pos < commandLine.size(); pos += cp932::CharLength(commandLine, pos)) {
        if (commandLine.substr(pos).starts_with(kQuotedPlaceholder)) return pos;
    }
    const std::size_t bare = commandLine.find(kPlaceholder);
    return bare != std::string_view::npos ? bare : commandLine.size();
}

}  // namespace

std::optional<std::string> LinkCommandLine(std::string_view commandLine, std::string_view link) {
    std::string line(commandLine.substr(0, PlaceholderCut(commandLine)));
    line.append(" ").append(link);
    if (line.size() >= kCommandBufferSize) return std::nullopt;
    return line;
}

LONG ReadDefaultRegValue(HKEY root, const char* subKey, char* destination) {
    LONG openResult = ERROR_SUCCESS;
    const CRegistryKey key = CRegistryKey::Open(root, subKey, KEY_QUERY_VALUE, &openResult);
    if (!key) return openResult;

    // Read into a buffer of our own first: `destination` may hold `subKey`,
    // which has been used by now.
    char value[kRegValueBufferSize];
    LONG result = key.ReadString(nullptr, value);
    // A key whose default value was never set reads as an empty text, as
    // RegQueryValueA gives it.
    if (result == ERROR_FILE_NOT_FOUND) {
        value[0] = '\0';
        result = ERROR_SUCCESS;
    }
    if (result != ERROR_SUCCESS) return result;
    std::memcpy(destination, value, std::strlen(value) + 1);
    return ERROR_SUCCESS;
}

INT_PTR OpenLink(const char* link, int showCommand) {
    // ShellExecuteA's HINSTANCE is only a result code: above 32 means started.
    const auto shellResult =
        reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", link, nullptr, nullptr, showCommand));
    if (static_cast<UINT_PTR>(shellResult) > 32) return shellResult;

    // The class name of ".htm" files (at most 259 bytes, so the suffix always
    // fits), then the command line of its open verb, read over the key name
    // in the same buffer.
    char command[kCommandBufferSize] = {};
    if (ReadDefaultRegValue(HKEY_CLASSES_ROOT, ".htm", command) != ERROR_SUCCESS) return shellResult;
    std::strcat(command, kCommandKeySuffix);
    if (ReadDefaultRegValue(HKEY_CLASSES_ROOT, command, command) != ERROR_SUCCESS) return shellResult;

    const std::optional<std::string> line = LinkCommandLine(command, link);
    if (!line) return shellResult;
    return static_cast<INT_PTR>(::WinExec(line->c_str(), static_cast<UINT>(showCommand)));
}
