#pragma once

// The form of one generated array: which element type, how its elements
// are spelled, its name and qualifiers, whether a length or a zero follows,
// the form of its body (a list, string literal pieces or #embed), and the
// table that finds it by its path, if it is in one. The
// window program's three types are one preset of it (Classic); every option
// of the front end is a field.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generator/ObjectFile.h"
#include "generator/SourceFormat.h"

enum class ElementType { Char, Uint, Ulong, UnsignedChar, Uint8, Uint16, Uint32 };
// The body of an array in a source file (a list, string literal pieces,
// #embed with the list as fallback), or the arrays as a relocatable object
// file, or as an assembler file that pulls the inputs in with .incbin.
enum class ArrayFormat { List, String, Embed, Object, Asm };

// What an element type is, in one row of one table (ArrayForm.cpp).
struct ElementTypeFacts {
    ElementType type;
    std::string_view optionName;  // the front end's -t
    std::string_view cName;       // as declared: "UINT", "uint16_t", ...
    // How its elements are spelled where the text must compile as C and C++
    // alike: plain char as character literals, so that no byte narrows.
    source_format::ElementText text;
    bool needsStdint;  // declared in <stdint.h>
};
const ElementTypeFacts& FactsOf(ElementType type);
std::optional<ElementType> ElementTypeNamed(std::string_view optionName);
// Input bytes per element.
std::size_t WidthOf(ElementType type);

inline constexpr std::string_view kClassicArrayName = "rawcontents";

struct ArrayForm {
    ElementType type = ElementType::Char;
    ArrayFormat format = ArrayFormat::List;
    std::string name = std::string(kClassicArrayName);
    bool isConst = false;
    bool isStatic = false;
    bool nul = false;
    std::string lengthName{};  // empty: no length symbol
    bool declaredInHeader = false;
    std::string embedPath{};  // the input as #embed names it, from the output's folder
    std::uint32_t alignment = 0;  // a power of two; 0: the element's own
    std::string section{};        // where the linker puts it; empty: where the compiler would
    const ObjectTarget* target = nullptr;  // the object and assembler forms' machine and format
    // One array of a table (--table): the table's name and the path it is
    // found by; both empty for an array of its own.
    std::string table{};
    std::string tablePath{};

    // The alignment it gets: the one asked for, else its element's.
    std::uint32_t Alignment() const;

    // The window program's text for char, UINT or ULONG: hexadecimal
    // elements, no declarations for C++ before it, an empty list for an
    // empty input.
    static ArrayForm Classic(ElementType type) { return {.type = type}; }
    // Whether this is that text: no option that changes the declaration.
    bool IsClassic() const;
    // How its list elements are spelled.
    source_format::ElementText Text() const;
};

// Elements the array holds in the portable form for an input of `length`
// bytes: the input's, then a zero after it with --nul, in the string form
// (its literal's terminator), and for an empty input (C allows no empty
// array).
std::uint64_t ElementCount(const ArrayForm& form, std::uint64_t length);

// A C identifier: a letter or '_', then letters, digits and '_'.
bool IsIdentifier(std::string_view text);
// Why an identifier cannot name an array or a length in a file that must
// compile, or empty when it can: a keyword of C (up to C23) or C++ (up to
// C++23) or an alternative token, a spelling reserved to the compiler (two
// underscores first, or one and a capital), `main`, or a type or macro that
// the generated files or their readers' standard headers define.
std::string_view WhyReservedName(std::string_view identifier);
// A file name made into an identifier: every byte other than a letter, a
// digit or '_' becomes '_', and a leading digit gets a '_' before it
// ("logo.png" gives logo_png, "8x8.fnt" gives _8x8_fnt).
std::string IdentifierFromFileName(std::string_view fileName);

// One array of a run: its input, the name its header shows (empty: the
// input's own file name), and its form.
struct ArrayInput {
    std::string path;
    std::string headerName{};
    ArrayForm form{};
};

// What holds for the whole output file.
struct SourceStyle {
    bool lfLineEnds = false;
    bool utf8Header = false;
    std::optional<std::int64_t> headerTime;  // shown in UTC instead of the input's creation time
};
