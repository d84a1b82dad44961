#include "app/SystemText.h"

#include <map>

#include "app/CodePage932.h"
#include "app/Texts.h"

std::size_t Utf8Length(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

namespace {

// Each character of the printed texts: its code page 932 bytes and its
// UTF-8 bytes, found by walking both forms of every text side by side.
const std::map<std::string, std::string>& CharacterTable() {
    static const std::map<std::string, std::string> table = [] {
        std::map<std::string, std::string> characters;
        for (const auto& text : texts::kPrintedTexts) {
            for (std::size_t at = 0, at8 = 0; at < text.codePage932.size() && at8 < text.utf8.size();) {
                std::size_t length = cp932::CharLength(text.codePage932, at);
                std::size_t length8 = Utf8Length(text.utf8[at8]);
                characters.emplace(std::string(text.codePage932.substr(at, length)),
                                   std::string(reinterpret_cast<const char*>(text.utf8.data() + at8), length8));
                at += length;
                at8 += length8;
            }
        }
        return characters;
    }();
    return table;
}

}  // namespace

std::string CodePage932ToUtf8ByTable(std::string_view text) {
    std::string result;
    while (!text.empty()) {
        const std::string character(text.substr(0, cp932::CharLength(text, 0)));
        text.remove_prefix(character.size());
        if (character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x80) {
            result += character;
            continue;
        }
        auto found = CharacterTable().find(character);
        result += found != CharacterTable().end() ? found->second : "?";
    }
    return result;
}
