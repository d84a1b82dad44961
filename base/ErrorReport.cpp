#include "base/ErrorReport.h"

#include <iterator>

#include "base/Texts.h"

std::string ReplacePlaceholder(std::string_view pattern, std::string_view insert) {
    // "%1" holds only ASCII bytes, and neither is a possible second byte of a
    // two-byte character, so a byte-wise search is safe in code page 932.
    std::string text;
    for (std::size_t pos = 0;;) {
        std::size_t found = pattern.find("%1", pos);
        text += pattern.substr(pos, found - pos);
        if (found == std::string_view::npos) return text;
        text += insert;
        pos = found + 2;
    }
}

std::string_view ErrorReportPattern(FileErrorCause cause) {
    const auto index = static_cast<std::size_t>(cause);
    return index < std::size(texts::kFileErrors)
               ? texts::kFileErrors[index]
               : texts::kFileErrors[static_cast<std::size_t>(FileErrorCause::Generic)];
}

std::string ErrorReportText(const FileError& error) {
    return ReplacePlaceholder(ErrorReportPattern(error.cause),
                              error.path.empty() ? texts::kUntitledFile : std::string_view(error.path));
}
