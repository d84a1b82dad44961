#include "about/LinkLauncher.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <string>

#include "app/CodePage932.h"
#include "app/win32/Handles.h"

namespace {

// Holds, in turn, the ".htm" class name, that class's command key and the
// command line to start.
constexpr std::size_t kCommandBufferSize = 2 * MAX_PATH;

constexpr std::string_view kQuotedPlaceholder = "\"%1\"";
constexpr std::string_view kPlaceholder = "%1";
constexpr std::string_view kCommandKeySuffix = "\\shell\\open\\command";

// Appends `text` to the terminated text in `buffer` when all of it and the
// terminator fit; otherwise leaves the buffer as it was and answers false.
bool AppendWhole(std::span<char> buffer, std::string_view text) {
    const std::size_t length = ::strnlen(buffer.data(), buffer.size());
    if (length + text.size() >= buffer.size()) return false;
    std::memcpy(buffer.data() + length, text.data(), text.size());
    buffer[length + text.size()] = '\0';
    return true;
}

}  // namespace

std::size_t PlaceholderCut(std::string_view commandLine) {
    // The quoted form is searched character by character: a lead byte and the
    // byte after it are one character, so a match never starts inside one.
    for (std::size_t pos = 0; pos < commandLine.size(); pos += cp932::CharLength(commandLine, pos)) {
        if (commandLine.substr(pos).starts_with(kQuotedPlaceholder)) return pos;
    }
    const std::size_t bare = commandLine.find(kPlaceholder);
    return bare != std::string_view::npos ? bare : commandLine.size();
}

LONG ReadDefaultRegValue(HKEY root, const char* subKey, char* destination) {
    HKEY opened = nullptr;
    const LONG openResult = ::RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &opened);
    if (openResult != ERROR_SUCCESS) return openResult;
    const UniqueRegKey key(opened);

    // Read into a buffer of our own first: `destination` may hold `subKey`,
    // which has been used by now.
    char value[kRegValueBufferSize];
    LONG size = sizeof value;
    // With no sub-key name, RegQueryValueA reads the key's own default value.
    const LONG queryResult = ::RegQueryValueA(key.Get(), nullptr, value, &size);
    if (queryResult != ERROR_SUCCESS) return queryResult;
    // A string value may have been stored without its terminator.
    value[std::clamp<LONG>(size, 0, static_cast<LONG>(sizeof value) - 1)] = '\0';
    std::memcpy(destination, value, std::strlen(value) + 1);
    return ERROR_SUCCESS;
}

INT_PTR OpenLink(const char* link, int showCommand) {
    // ShellExecuteA's HINSTANCE is only a result code: above 32 means started.
    const auto shellResult =
        reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", link, nullptr, nullptr, showCommand));
    if (static_cast<UINT_PTR>(shellResult) > 32) return shellResult;

    // The class name of ".htm" files, then the command line of its open verb,
    // read over the key name in the same buffer.
    char command[kCommandBufferSize] = {};
    if (ReadDefaultRegValue(HKEY_CLASSES_ROOT, ".htm", command) != ERROR_SUCCESS) return shellResult;
    if (!AppendWhole(command, kCommandKeySuffix)) return shellResult;
    if (ReadDefaultRegValue(HKEY_CLASSES_ROOT, command, command) != ERROR_SUCCESS) return shellResult;

    // Everything from the placeholder on goes, options after it included; the
    // link follows one space, unquoted. A command line that would not fit is
    // not started at all: a cut-off link could open some other address.
    command[PlaceholderCut(command)] = '\0';
    if (!AppendWhole(command, std::string(" ").append(link))) return shellResult;
    return static_cast<INT_PTR>(::WinExec(command, static_cast<UINT>(showCommand)));
}
