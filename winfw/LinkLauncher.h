#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Size of the buffer ReadDefaultRegValue reads a value into: a default value
// of at most 259 bytes and its terminator.
inline constexpr std::size_t kRegValueBufferSize = MAX_PATH;
// Size of OpenLink's buffer, which holds in turn the ".htm" class name, that
// class's command key and the command line to start.
inline constexpr std::size_t kCommandBufferSize = 2 * MAX_PATH;

// Opens `link` (a web or "mailto:" address) with the program the system
// associates with it. The shell is asked first; when it cannot, the program
// registered for ".htm" files is started with the link on its command line.
// `showCommand` (a ShowWindow code) goes unchanged to whichever launch is
// made. Returns the last launch's result: ShellExecuteA's (above 32 when it
// started something) when the shell succeeded or no fallback was made, else
// WinExec's (above 31 when it started the program).
INT_PTR OpenLink(const char* link, int showCommand);

// Copies the default value of `root`\`subKey` to `destination`, a buffer of at
// least kRegValueBufferSize bytes that may be the very buffer holding
// `subKey`. A key without a default value gives an empty text. Returns
// ERROR_SUCCESS, or the error of opening the key or of reading its value
// (ERROR_MORE_DATA for a value too long for the buffer), with `destination`
// then untouched.
LONG ReadDefaultRegValue(HKEY root, const char* subKey, char* destination);

// The command line that opens `link` with the registered `commandLine`:
// everything from the placeholder on is cut off (the first quoted "%1" that
// starts on a code page 932 character boundary, else the first "%1", else
// nothing), then one space and the link, unquoted. Nothing when the result
// and its terminator would not fit kCommandBufferSize bytes: a cut-off link
// could open some other address.
std::optional<std::string> LinkCommandLine(std::string_view commandLine, std::string_view link);
