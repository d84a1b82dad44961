#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "base/Paths.h"

// Conversions between the system's own text encoding (file names, the
// terminal) and code page 932, the encoding of the program's texts. On
// Windows the program runs with code page 932 as its ANSI code page, so both
// are the identity there. Elsewhere the locale's encoding is used (plain
// ASCII locales are taken as UTF-8); a character the target cannot show
// becomes "?".
std::string SystemTextToCodePage932(std::string_view text);
std::string CodePage932ToSystemText(std::string_view text);
// The system's text in UTF-8 (for generated files that ask for it).
std::string SystemTextToUtf8(std::string_view text);

// Length of the UTF-8 character whose first byte is `lead`; 1 for a byte
// that starts none.
std::size_t Utf8Length(unsigned char lead);

// A path in the system's own text as std::filesystem holds it, and back.
// (On Windows std::filesystem reads and writes narrow strings as UTF-8,
// while the program's file calls take the ANSI code page.)
std::filesystem::path PathOfSystemText(std::string_view text);
std::string SystemTextOfPath(const std::filesystem::path& path);

// How paths of the system's own encoding are stepped through.
PathEncoding SystemPathEncoding();

// Code page 932 text as UTF-8 without the system's help, for the characters
// of the program's own printed texts (texts::kPrintedTexts) and ASCII; any
// other character becomes "?". For a system that cannot convert code page
// 932 itself, so that the program's messages stay readable there.
std::string CodePage932ToUtf8ByTable(std::string_view text);
