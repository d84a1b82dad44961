#include "generator/ArrayForm.h"

#include <algorithm>
#include <iterator>

namespace {

using source_format::ElementText;

constexpr ElementTypeFacts kElementTypes[] = {
    {ElementType::Char, "char", "char", ElementText::CharLiteral, false},
    {ElementType::Uint, "uint", "UINT", ElementText::Hex2, false},
    {ElementType::Ulong, "ulong", "ULONG", ElementText::Hex4, false},
    {ElementType::UnsignedChar, "uchar", "unsigned char", ElementText::Hex1, false},
    {ElementType::Uint8, "u8", "uint8_t", ElementText::Hex1, true},
    {ElementType::Uint16, "u16", "uint16_t", ElementText::Hex2, true},
    {ElementType::Uint32, "u32", "uint32_t", ElementText::Hex4, true},
};

}  // namespace

constexpr bool InTheEnumerationsOrder() {
    for (std::size_t i = 0; i < std::size(kElementTypes); ++i)
        if (static_cast<std::size_t>(kElementTypes[i].type) != i) return false;
    return true;
}
static_assert(InTheEnumerationsOrder());

const ElementTypeFacts& FactsOf(ElementType type) { return kElementTypes[static_cast<std::size_t>(type)]; }

std::optional<ElementType> ElementTypeNamed(std::string_view optionName) {
    for (const ElementTypeFacts& facts : kElementTypes)
        if (facts.optionName == optionName) return facts.type;
    return std::nullopt;
}

std::size_t WidthOf(ElementType type) { return source_format::BytesPerElement(FactsOf(type).text); }

bool ArrayForm::IsClassic() const {
    const bool classicType = type == ElementType::Char || type == ElementType::Uint || type == ElementType::Ulong;
    return classicType && format == ArrayFormat::List && name == kClassicArrayName && !isConst && !isStatic && !nul &&
           lengthName.empty() && !declaredInHeader && alignment == 0 && section.empty();
}

std::uint32_t ArrayForm::Alignment() const {
    return alignment != 0 ? alignment : static_cast<std::uint32_t>(WidthOf(type));
}

ElementText ArrayForm::Text() const {
    // The window program's char elements are hexadecimal too.
    return IsClassic() && type == ElementType::Char ? ElementText::Hex1 : FactsOf(type).text;
}

std::uint64_t ElementCount(const ArrayForm& form, std::uint64_t length) {
    const std::uint64_t width = WidthOf(form.type);
    const std::uint64_t elements = (length + width - 1) / width;
    const bool zeroAfter = form.nul || form.format == ArrayFormat::String || length == 0;
    return elements + (zeroAfter ? 1 : 0);
}

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr std::string_view kKeywords[] = {
    // C, up to C23
    "_Alignas", "_Alignof", "_Atomic", "_BitInt", "_Bool", "_Complex", "_Decimal128", "_Decimal32", "_Decimal64",
    "_Generic", "_Imaginary", "_Noreturn", "_Static_assert", "_Thread_local", "alignas", "alignof", "auto", "bool",
    "break", "case", "char", "const", "constexpr", "continue", "default", "do", "double", "else", "enum", "extern",
    "false", "float", "for", "goto", "if", "inline", "int", "long", "nullptr", "register", "restrict", "return",
    "short", "signed", "sizeof", "static", "static_assert", "struct", "switch", "thread_local", "true", "typedef",
    "typeof", "typeof_unqual", "union", "unsigned", "void", "volatile", "while",
    // C++ besides, up to C++23, with the alternative tokens
    "and", "and_eq", "asm", "bitand", "bitor", "catch", "char16_t", "char32_t", "char8_t", "class", "co_await",
    "co_return", "co_yield", "compl", "concept", "const_cast", "consteval", "constinit", "decltype", "delete",
    "dynamic_cast", "explicit", "export", "friend", "mutable", "namespace", "new", "noexcept", "not", "not_eq",
    "operator", "or", "or_eq", "private", "protected", "public", "reinterpret_cast", "requires", "static_cast",
    "template", "this", "throw", "try", "typeid", "typename", "using", "virtual", "wchar_t", "xor", "xor_eq"};

// Types and macros that the generated files use, or that the standard
// headers they include or sit beside define.
constexpr std::string_view kDefinedNames[] = {"UINT",     "ULONG",     "NULL",     "size_t",    "int8_t",   "int16_t",
                                              "int32_t",  "int64_t",   "uint8_t",  "uint16_t",  "uint32_t", "uint64_t",
                                              "intptr_t", "uintptr_t", "intmax_t", "uintmax_t", "ptrdiff_t"};

}  // namespace

bool IsIdentifier(std::string_view text) {
    if (text.empty() || !IsLetter(text.front())) return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return IsLetter(c) || IsDigit(c); });
}

std::string_view WhyReservedName(std::string_view identifier) {
    const auto listed = [identifier](const auto& names) {
        return std::find(std::begin(names), std::end(names), identifier) != std::end(names);
    };
    if (listed(kKeywords)) return "is a C or C++ keyword";
    if (identifier.starts_with("__") ||
        (identifier.starts_with('_') && identifier.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == 1))
        return "is reserved to the compiler (two underscores first, or one and a capital)";
    if (identifier == "main") return "is the program's entry point";
    if (listed(kDefinedNames)) return "is a type or macro that the generated files or the standard headers define";
    return {};
}

std::string IdentifierFromFileName(std::string_view fileName) {
    std::string identifier(fileName);
    for (char& c : identifier)
        if (!IsLetter(c) && !IsDigit(c)) c = '_';
    if (identifier.empty() || IsDigit(identifier.front())) identifier.insert(identifier.begin(), '_');
    return identifier;
}
