#include <gtest/gtest.h>

#include "generator/ArrayForm.h"
#include "generator/ArrayText.h"
#include "generator/TableText.h"

namespace {

TEST(ArrayForm, FileNamesMadeIntoIdentifiers) {
    const std::pair<const char*, const char*> cases[] = {
        {"logo.png", "logo_png"}, {"8x8.fnt", "_8x8_fnt"}, {"`az{@AZ[/09:", "_az__AZ__09_"},
        {"\xE3\x83\x87.bin", "____bin"}, {"_ok9", "_ok9"}};
    for (auto [name, identifier] : cases) EXPECT_EQ(IdentifierFromFileName(name), identifier) << name;
}

TEST(TableText, TakesANameThatHoldsThePlaceholder) {
    EXPECT_NE(TableDeclarations("NAMES").find("const struct NAMES_entry* NAMES_find(const"), std::string::npos);
}

TEST(ArrayForm, ElementsCountTheZeroThatEndsAnArray) {
    ArrayForm list{.type = ElementType::Uint32};
    EXPECT_EQ(ElementCount(list, 0), 1u) << "no empty array";
    EXPECT_EQ(ElementCount(list, 5), 2u);
    list.nul = true;
    EXPECT_EQ(ElementCount(list, 8), 3u);
    const ArrayForm string{.type = ElementType::UnsignedChar, .format = ArrayFormat::String};
    EXPECT_EQ(ElementCount(string, 7), 8u) << "the literal's own terminator";
}

// The declarations header takes <stdint.h> for its types only.
TEST(ArrayForm, DeclarationsIncludeStdintOnlyForItsTypes) {
    for (auto [type, stdint] : {std::pair{ElementType::UnsignedChar, false}, {ElementType::Uint16, true}})
        EXPECT_EQ(DeclarationsHeader("a.h", {{ArrayForm{.type = type}, 1}}).find("<stdint.h>") != std::string::npos, stdint);
}

}  // namespace
