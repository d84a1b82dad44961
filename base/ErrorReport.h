#pragma once

#include <string>
#include <string_view>

#include "base/FileError.h"

// Texts and icons of the report shown for a failure that escapes a command.

// The text for a file failure, "%1" still in it (the generic failure's for
// an unknown cause).
std::string_view ErrorReportPattern(FileErrorCause cause);

// The text for a file failure: its cause's string with "%1" replaced by the
// failure's path, or by the untitled-file text when it names none.
std::string ErrorReportText(const FileError& error);

// Replaces each "%1" of `pattern` by `insert`.
std::string ReplacePlaceholder(std::string_view pattern, std::string_view insert);
