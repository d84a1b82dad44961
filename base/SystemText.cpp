#include "base/SystemText.h"

#include <map>

#include "base/CodePage932.h"
#include "base/Texts.h"

std::size_t Utf8Length(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

namespace {

// Each character of the printed texts: its code page 932 bytes and its
// UTF-8 bytes, found by walking both forms of every text side by side.
const std::map<std::string, std::string>& CharacterTable() {
    static const std::map<std::string, std::string> table = [] {
        std::map<std::string, std::string> characters;
        for (const auto& text : texts::kPrintedTexts) {
            // Both forms hold the same characters: they end together.
            std::string_view codePage932 = text.codePage932;
            std::string_view utf8(reinterpret_cast<const char*>(text.utf8.data()), text.utf8.size());
            while (!codePage932.empty()) {
                const std::size_t length = cp932::CharLength(codePage932, 0);
                const std::size_t length8 = Utf8Length(static_cast<unsigned char>(utf8.front()));
                characters.emplace(codePage932.substr(0, length), utf8.substr(0, length8));
                codePage932.remove_prefix(length);
                utf8.remove_prefix(length8);
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
