#include <iconv.h>
#include <langinfo.h>

#include <strings.h>
#include <cerrno>
#include <cstring>
#include <optional>

#include "base/CodePage932.h"
#include "base/SystemText.h"

namespace {

const char* LocaleEncoding() {
    const char* codeset = nl_langinfo(CODESET);
    if (codeset == nullptr || *codeset == '\0' || std::strcmp(codeset, "ANSI_X3.4-1968") == 0 ||
        std::strcmp(codeset, "ASCII") == 0)
        return "UTF-8";
    return codeset;
}

// Length of the character that iconv could not take at `text`: whole UTF-8
// and code page 932 characters are skipped together, anything else one byte
// at a time.
std::size_t UnconvertibleLength(const char* from, std::string_view text) {
    if (std::strcmp(from, "CP932") == 0) return cp932::CharLength(text, 0);
    if (std::strcmp(from, "UTF-8") != 0) return 1;
    const std::size_t length = Utf8Length(static_cast<unsigned char>(text.front()));
    if (length > text.size()) return 1;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
    return length;
}

// `text` in the encoding `to`; none when the system has no way from `from`
// to `to`.
std::optional<std::string> Convert(std::string_view text, const char* from, const char* to) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string result;
    char out[256];
    while (!text.empty()) {
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* outPtr = out;
        std::size_t outLeft = sizeof out;
        std::size_t done = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        int error = errno;
        result.append(out, static_cast<std::size_t>(outPtr - out));
        text.remove_prefix(text.size() - inLeft);
        if (done == static_cast<std::size_t>(-1) && error != E2BIG) {
            // EILSEQ or EINVAL: no form in the target, or not a valid character.
            result += '?';
            text.remove_prefix(UnconvertibleLength(from, text));
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(converter);
    return result;
}

}  // namespace

std::string SystemTextToCodePage932(std::string_view text) {
    return Convert(text, LocaleEncoding(), "CP932").value_or(std::string(text));
}

std::string CodePage932ToSystemText(std::string_view text) {
    const char* encoding = LocaleEncoding();
    if (auto converted = Convert(text, "CP932", encoding)) return *converted;
    // No code page 932 on this system (a C library without its converter):
    // the program's own table, then on to the locale's encoding if need be.
    std::string utf8 = CodePage932ToUtf8ByTable(text);
    return strcasecmp(encoding, "UTF-8") == 0 ? utf8 : Convert(utf8, "UTF-8", encoding).value_or(utf8);
}

std::string SystemTextToUtf8(std::string_view text) {
    return Convert(text, LocaleEncoding(), "UTF-8").value_or(std::string(text));
}

std::filesystem::path PathOfSystemText(std::string_view text) { return std::filesystem::path(text); }

std::string SystemTextOfPath(const std::filesystem::path& path) { return path.string(); }

PathEncoding SystemPathEncoding() {
    const char* encoding = LocaleEncoding();
    for (const char* shiftJis : {"CP932", "SHIFT_JIS", "SJIS", "WINDOWS-31J"})
        if (strcasecmp(encoding, shiftJis) == 0) return PathEncoding::CodePage932;
    return PathEncoding::ByteWise;
}
