#pragma once

// How the command-line front end may shape the generated text beyond the
// window program's: element types of the standard headers, a name, const
// and static, a length symbol, a terminating zero, a declarations header,
// string-literal or #embed forms, several arrays in one file, LF line ends,
// a UTF-8 header and a fixed header time.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generator/SourceFormat.h"

enum class ElementType { Char, Uint, Ulong, UnsignedChar, Uint8, Uint16, Uint32 };
enum class ArrayFormat { List, String, Embed };

inline constexpr std::string_view kClassicArrayName = "rawcontents";

struct ArrayForm {
    ElementType type = ElementType::Char;
    ArrayFormat format = ArrayFormat::List;
    std::string name = std::string(kClassicArrayName);
    bool isConst = false;
    bool isStatic = false;
    bool nul = false;
    std::string lengthName{};    // empty: no length symbol
    bool declaredInHeader = false;
    std::string embedPath{};     // the input as #embed names it, from the output's folder

    // The window program's text: no option that changes the declaration.
    bool Classic() const;
};

ElementType ElementTypeOf(DataType type);
// The classic types are the window program's; the others are the front end's.
std::optional<DataType> ClassicDataType(ElementType type);
std::string_view CTypeName(ElementType type);  // "unsigned char", "uint16_t", ...
bool NeedsStdint(ElementType type);
source_format::ElementText ElementTextOf(ElementType type);
std::size_t BytesPerElement(ElementType type);

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
