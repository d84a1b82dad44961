#pragma once

#include <cstdint>
#include <string>

#if defined(__GNUC__)
#define AF_PRINTF_FORMAT(formatIndex, firstArg) __attribute__((format(printf, formatIndex, firstArg)))
#else
#define AF_PRINTF_FORMAT(formatIndex, firstArg)
#endif

// printf-style formatting into a text of any length.
std::string FormatText(const char* format, ...) AF_PRINTF_FORMAT(1, 2);

// Converts `time` (seconds since 1970 UTC) to local time and formats it with
// strftime conversions. Empty when the time cannot be converted or the result
// would not fit in 127 bytes.
std::string FormatLocalTime(std::int64_t time, const char* format);
// The same in UTC.
std::string FormatUtcTime(std::int64_t time, const char* format);
