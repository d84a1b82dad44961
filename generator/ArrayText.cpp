#include "generator/ArrayText.h"

#include <algorithm>
#include <bit>
#include <cctype>

#include "base/SystemText.h"
#include "base/TextFormat.h"

namespace {

constexpr std::string_view kLengthType = "unsigned long long";

constexpr std::string_view kStringTooLongForMsvc =
    "#if defined(_MSC_VER) && !defined(__clang__)\n"
    "#error \"This string literal is longer than MSVC takes (65,535 bytes): write it with --format object\"\n"
    "#endif\n";
constexpr std::string_view kLongStringsAllowed =
    "#if defined(__GNUC__)\n#pragma GCC diagnostic push\n#pragma GCC diagnostic ignored \"-Woverlength-strings\"\n"
    "#endif\n";
constexpr std::string_view kLongStringsAllowedEnd = "#if defined(__GNUC__)\n#pragma GCC diagnostic pop\n#endif\n";

std::string Qualified(const ArrayForm& form) {
    // What the object and assembler forms write lies in a read-only section.
    const bool readOnly =
        form.isConst || form.format == ArrayFormat::Object || form.format == ArrayFormat::Asm;
    std::string text = readOnly ? "const " : "";
    text += FactsOf(form.type).cName;
    return text;
}

// What comes before the definition: the types' header, and the
// declarations that give a C++ reader C linkage and external linkage for
// const. The window program's text has none.
std::string Prologue(const ArrayForm& form) {
    std::string text = FactsOf(form.type).needsStdint ? "#include <stdint.h>\n" : "";
    if (form.isStatic || form.IsClassic()) return text;
    text += "#ifdef __cplusplus\nextern \"C\" " + Qualified(form) + " " + form.name + "[];\n";
    if (!form.lengthName.empty())
        text += FormatText("extern \"C\" const %s %s;\n", kLengthType.data(), form.lengthName.c_str());
    return text + "#endif\n";
}

// Where the array goes, in each compiler's own spelling: MSVC's (which
// needs the section declared first), else C++11's or C11's alignment and
// the GCC/Clang section attribute. Empty without --align and --section.
std::string Placement(const ArrayForm& form) {
    if (form.alignment == 0 && form.section.empty()) return {};
    const std::string align = std::to_string(form.alignment);
    const std::string section = "\"" + form.section + "\"";
    const auto join = [](std::string_view first, std::string_view second) {
        return std::string(first) + (first.empty() || second.empty() ? "" : " ") + std::string(second);
    };
    const std::string attribute = form.section.empty() ? "" : "__attribute__((section(" + section + ")))";
    const std::string msvc = join(form.section.empty() ? "" : "__declspec(allocate(" + section + "))",
                                  form.alignment == 0 ? "" : "__declspec(align(" + align + "))");
    return "#if defined(_MSC_VER) && !defined(__clang__)\n" +
           (form.section.empty() ? "" : "#pragma section(" + section + ", read)\n") + msvc +
           "\n#elif defined(__cplusplus)\n" + join(form.alignment == 0 ? "" : "alignas(" + align + ")", attribute) +
           "\n#else\n" + join(form.alignment == 0 ? "" : "_Alignas(" + align + ")", attribute) + "\n#endif\n";
}

std::string Definition(const ArrayForm& form) {
    return Placement(form) + "\t" + (form.isStatic ? "static " : "") + Qualified(form) + " " + form.name + "[] =";
}

// One symbol of the assembler form: made global, aligned, its size told
// where the format keeps sizes, and its label.
std::string AssemblerSymbol(const ObjectTarget& target, std::string_view name, std::uint32_t alignment,
                            std::uint64_t size) {
    const std::string symbol = std::string(target.symbolPrefix) + std::string(name);
    std::string text = "\t.globl " + symbol + "\n\t.p2align " + std::to_string(std::countr_zero(alignment)) + "\n";
    if (target.format == ObjectFormat::Elf)
        text += "\t.type " + symbol + ", %object\n\t.size " + symbol + ", " + std::to_string(size) + "\n";
    return text + symbol + ":\n";
}

// The array as GNU assembler directives for its target: the section, the
// symbols, the input pulled in by .incbin (found from the assembler's
// folder as #embed's path is from the output's), then the zeros its list
// would end with, and its length.
std::string AssemblerText(const ArrayForm& form, std::uint64_t length) {
    const ObjectTarget& target = *form.target;
    const std::string section = form.section.empty() ? std::string(target.section) : form.section;
    std::string text;
    switch (target.format) {
    case ObjectFormat::Elf:
        // No executable stack asked for; the data read-only.
        text = "\t.section .note.GNU-stack,\"\",%progbits\n\t.section " + section + ",\"a\",%progbits\n";
        break;
    case ObjectFormat::Coff: text = "\t.section " + section + ",\"dr\"\n"; break;
    case ObjectFormat::MachO: text = "\t.section " + section + "\n"; break;
    }
    const std::uint64_t size = ElementCount(form, length) * WidthOf(form.type);
    text += AssemblerSymbol(target, form.name, form.Alignment(), size) + "\t.incbin \"" + form.embedPath + "\"\n";
    if (size > length) text += "\t.zero " + std::to_string(size - length) + "\n";
    if (!form.lengthName.empty())
        text += AssemblerSymbol(target, form.lengthName, 8, 8) + "\t.quad " + std::to_string(length) + "\n";
    return text;
}

}  // namespace

bool ForEachChunk(CFile& input, std::uint64_t length, unsigned char* buffer, const std::function<void()>& chunkDone,
                  const std::function<void(const unsigned char*, std::size_t)>& write) {
    using source_format::kChunkSize;
    std::uint64_t consumed = 0;
    for (;;) {
        const std::size_t got = input.Read(buffer, source_format::kReadSize);
        for (std::size_t offset = 0;; offset += kChunkSize) {
            const std::size_t count = std::min(got - offset, kChunkSize);
            consumed += count;
            if (consumed > length) return false;
            write(buffer + offset, count);
            if (count < kChunkSize) return consumed == length;
            chunkDone();
            if (offset + kChunkSize == source_format::kReadSize) break;
        }
    }
}


bool WriteArray(CFile& input, std::uint64_t length, const ArrayInput& array, const SourceStyle& style,
                bool reserveSpace, CFile& output, unsigned char* buffer, const std::function<void()>& chunkDone) {
    const std::string name = array.headerName.empty() ? input.FileName() : array.headerName;
    source_format::HeaderFacts facts;
    facts.fileName = style.utf8Header ? SystemTextToUtf8(name) : SystemTextToCodePage932(name);
    facts.utc = style.headerTime.has_value();
    facts.creationTime = style.headerTime ? *style.headerTime : input.Status().creationTime;
    facts.length = length;
    facts.utf8 = style.utf8Header;

    const ArrayForm& form = array.form;
    // #embed of an empty file would leave the braces empty.
    const ArrayFormat format = form.format == ArrayFormat::Embed && length == 0 ? ArrayFormat::List : form.format;
    if (format == ArrayFormat::Asm) {
        output.WriteString(source_format::HeaderText(facts) + AssemblerText(form, length));
        return true;
    }
    const std::string beforeDefinition = source_format::HeaderText(facts) + Prologue(form);
    const std::string opening = beforeDefinition + Definition(form);
    if (format == ArrayFormat::String) {
        // C compilers need take no string over 4,095 characters, and GCC and
        // Clang say so under -pedantic: not of this one, which is meant to be
        // long. MSVC takes none over 64 KiB at all.
        const bool longerThanPortable = length > 4095;
        output.WriteString(beforeDefinition);
        if (length + 1 > 65535) output.WriteString(kStringTooLongForMsvc);
        if (longerThanPortable) output.WriteString(kLongStringsAllowed);
        output.WriteString(Definition(form));
        if (!ForEachChunk(input, length, buffer, chunkDone, [&](const unsigned char* bytes, std::size_t count) {
                source_format::WriteStringChunk(bytes, count, output);
            }))
            return false;
        output.WriteString(length == 0 ? "\n\t\t\"\";\n" : ";\n");
        if (longerThanPortable) output.WriteString(kLongStringsAllowedEnd);
    } else {
        std::string listOpening = opening + " {\n";
        if (format == ArrayFormat::Embed)
            listOpening += std::string(kEmbedTest) + "\n#embed \"" + form.embedPath + "\"" +
                           (form.nul ? " suffix(, 0)" : "") + "\n#else\n";
        listOpening += "\t\t";
        const auto text = form.Text();
        // The window program's text, alone in a CR LF file, has its size
        // known at once: room for it all is set aside where the system allows.
        if (reserveSpace && form.IsClassic())
            output.ReserveSpace(source_format::OutputSize(listOpening, text, length, source_format::kClosing));
        output.WriteString(listOpening);
        if (!ForEachChunk(input, length, buffer, chunkDone, [&](const unsigned char* bytes, std::size_t count) {
                source_format::WriteElementChunk(text, bytes, count, output);
            }))
            return false;
        // C has no empty array, and --nul asks for a zero; the window
        // program's empty list stays empty.
        if (form.nul || (length == 0 && !form.IsClassic())) {
            // After a full last chunk the last element has its comma already.
            if (length % source_format::kChunkSize != 0) output.WriteString(",");
            output.WriteString(source_format::ZeroElement(text));
        }
        output.WriteString(format == ArrayFormat::Embed ? "\n#endif\n\t};\n" : source_format::kClosing);
    }
    if (!form.lengthName.empty())
        output.WriteString(FormatText("\t%sconst %s %s = %llu;\n", form.isStatic ? "static " : "", kLengthType.data(),
                                      form.lengthName.c_str(), static_cast<unsigned long long>(length)));
    return true;
}

std::string IncludeGuard(std::string_view headerFileName) {
    std::string guard = IdentifierFromFileName(headerFileName);
    for (char& c : guard) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return guard;
}

std::string DeclarationsHeader(std::string_view headerFileName,
                               const std::vector<std::pair<ArrayForm, std::uint64_t>>& arrays) {
    const std::string guard = IncludeGuard(headerFileName);
    std::string text = "#ifndef " + guard + "\n#define " + guard + "\n\n";
    bool stdint = false;
    for (const auto& [form, length] : arrays) stdint = stdint || FactsOf(form.type).needsStdint;
    if (stdint) text += "#include <stdint.h>\n\n";
    text += "#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n";
    for (const auto& [form, length] : arrays) {
        text += FormatText("extern %s %s[%llu];\n", Qualified(form).c_str(), form.name.c_str(),
                           static_cast<unsigned long long>(ElementCount(form, length)));
        if (!form.lengthName.empty())
            text += FormatText("extern const %s %s;\n", kLengthType.data(), form.lengthName.c_str());
    }
    return text + "\n#ifdef __cplusplus\n}\n#endif\n\n#endif\n";
}
