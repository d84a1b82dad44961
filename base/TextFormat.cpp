#include "base/TextFormat.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length));
        // vsnprintf writes the terminating zero too: size + 1 bytes, which
        // std::string guarantees to hold.
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

namespace {

std::string FormatTime(std::int64_t time, const char* format, bool utc) {
    constexpr std::size_t kBufferSize = 128;
    std::time_t value = static_cast<std::time_t>(time);
    if (static_cast<std::int64_t>(value) != time) return {};
    std::tm local{};
#if defined(_WIN32)
    if ((utc ? gmtime_s(&local, &value) : localtime_s(&local, &value)) != 0) return {};
#else
    if ((utc ? gmtime_r(&value, &local) : localtime_r(&value, &local)) == nullptr) return {};
#endif
    char buffer[kBufferSize];
    std::size_t length = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, length);
}

}  // namespace

std::string FormatLocalTime(std::int64_t time, const char* format) { return FormatTime(time, format, false); }

std::string FormatUtcTime(std::int64_t time, const char* format) { return FormatTime(time, format, true); }
