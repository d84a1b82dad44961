#include "base/ErrorReport.h"

#include "base/Texts.h"

std::string_view ErrorReportString(unsigned id) {
    if (id == texts::kIdUntitledFile) return texts::kUntitledFile;
    if (id == texts::kIdOutOfMemory) return texts::kOutOfMemory;
    unsigned next = texts::kIdFirstFileError;
    for (std::string_view text : texts::kFileErrors)
        if (id == next++) return text;
    return {};
}

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
    std::string_view pattern = ErrorReportString(texts::kIdFirstFileError + static_cast<unsigned>(cause));
    return pattern.empty() ? ErrorReportString(texts::kIdFirstFileError + 1) : pattern;
}

std::string ErrorReportText(const FileError& error) {
    return ReplacePlaceholder(ErrorReportPattern(error.cause),
                              error.path.empty() ? texts::kUntitledFile : std::string_view(error.path));
}

