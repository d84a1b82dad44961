#include "generator/TableText.h"

#include "base/TextFormat.h"
#include "generator/SourceFormat.h"

namespace {

// `text` with every "NAME" replaced by `name`.
std::string Named(std::string text, std::string_view name) {
    for (auto at = text.find("NAME"); at != std::string::npos; at = text.find("NAME", at + name.size()))
        text.replace(at, 4, name);
    return text;
}

constexpr char kDeclarations[] =
    "struct NAME_entry { const char* path; const unsigned char* data; unsigned long long size; };\n"
    "#ifdef __cplusplus\nextern \"C\" {\n#endif\n"
    "extern const struct NAME_entry NAME_entries[];\n"
    "extern const unsigned long long NAME_count;\n"
    "const struct NAME_entry* NAME_find(const char* path); /* NULL when absent; O(log n) */\n"
    "#ifdef __cplusplus\n}\n#endif\n";

// The entries are sorted as strcmp compares, byte by byte.
constexpr char kLookUp[] =
    "const struct NAME_entry* NAME_find(const char* path) {\n"
    "\tunsigned long long low = 0, high = NAME_count;\n"
    "\twhile (low < high) {\n"
    "\t\tconst unsigned long long middle = low + (high - low) / 2;\n"
    "\t\tconst int order = strcmp(NAME_entries[middle].path, path);\n"
    "\t\tif (order == 0) return &NAME_entries[middle];\n"
    "\t\tif (order < 0) low = middle + 1;\n"
    "\t\telse high = middle;\n"
    "\t}\n"
    "\treturn 0;\n"
    "}\n";

// MSVC tells the language's version in _MSVC_LANG; __cplusplus only with /Zc:__cplusplus.
constexpr char kAccessors[] =
    "#if defined(__cplusplus) && (__cplusplus >= 201703L || (defined(_MSVC_LANG) && _MSVC_LANG >= 201703L))\n"
    "#include <cstddef>\n#include <string_view>\n"
    "inline std::string_view NAME_text(const char* path) {\n"
    "\tconst NAME_entry* entry = NAME_find(path);\n"
    "\treturn entry ? std::string_view(reinterpret_cast<const char*>(entry->data), "
    "static_cast<std::size_t>(entry->size)) : std::string_view();\n"
    "}\n"
    "#endif\n"
    "#if defined(__cplusplus) && (__cplusplus >= 202002L || (defined(_MSVC_LANG) && _MSVC_LANG >= 202002L))\n"
    "#include <span>\n"
    "inline std::span<const unsigned char> NAME_bytes(const char* path) {\n"
    "\tconst NAME_entry* entry = NAME_find(path);\n"
    "\treturn entry ? std::span<const unsigned char>(entry->data, static_cast<std::size_t>(entry->size))"
    " : std::span<const unsigned char>();\n"
    "}\n"
    "#endif\n";

}  // namespace

std::string TableDeclarations(std::string_view name) { return Named(kDeclarations, name); }

void WriteTable(const std::vector<ArrayInput>& arrays, const std::vector<std::uint64_t>& lengths, CFile& output) {
    const std::string& name = arrays.front().form.table;
    output.WriteString("\n#include <string.h>\n\n" + TableDeclarations(name) + "\nconst struct " + name + "_entry " +
                       name + "_entries[] = {\n");
    for (std::size_t i = 0; i < arrays.size(); ++i)
        output.WriteString(FormatText("\t{%s, %s, %llu},\n",
                                      source_format::QuotedString(arrays[i].form.tablePath).c_str(),
                                      arrays[i].form.name.c_str(), static_cast<unsigned long long>(lengths[i])));
    output.WriteString(FormatText("};\nconst unsigned long long %s_count = %llu;\n\n", name.c_str(),
                                  static_cast<unsigned long long>(arrays.size())) +
                       Named(kLookUp, name));
}

std::string TableHeader(std::string_view guard, std::string_view name) {
    const std::string guardText(guard);
    return "#ifndef " + guardText + "\n#define " + guardText + "\n\n" + TableDeclarations(name) + "\n" +
           Named(kAccessors, name) + "\n#endif\n";
}
