#include "cli/CommandLine.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

const char* const kUsageText =
    "Usage: arrayforge [OPTION]... INPUT...\n"
    "Writes each INPUT as C/C++ source: a comment header and one initialised array.\n"
    "\n"
    "  -t, --type TYPE      element type: char (1 byte, default), uint (2 bytes), ulong (4 bytes),\n"
    "                       uchar (unsigned char), u8, u16, u32 (uint8_t, uint16_t, uint32_t)\n"
    "  -o, --output FILE    output file; '-' writes to standard output (default: each INPUT with\n"
    "                       its last extension replaced by .c; standard output for '-');\n"
    "                       several INPUTs then go into FILE as one array each, named after\n"
    "                       their file names\n"
    "  -f, --force          overwrite existing outputs without asking\n"
    "  -q, --quiet          say nothing when a file is written (only a terminal is told)\n"
    "  -n, --name NAME      name of the array (default: rawcontents)\n"
    "      --const          declare the array const\n"
    "      --static         declare the array static (to be #included)\n"
    "      --length[=NAME]  also define the length in bytes as NAME (default: <array>_size),\n"
    "                       an unsigned long long\n"
    "      --nul            end the array with one zero element, not counted in the length\n"
    "      --header FILE.h  also write FILE.h with the extern declarations\n"
    "      --format FORM    list (default): hex elements; string: string literal pieces\n"
    "                       (1-byte types); embed: #embed where the compiler has it, else the\n"
    "                       list (1-byte types); object: a relocatable object file, nothing to\n"
    "                       compile; asm: GNU assembler that pulls the input in with .incbin\n"
    "      --target NAME    the object's or assembler's machine, as objcopy -O names it (below;\n"
    "                       default: this machine's)\n"
    "      --eol lf|crlf    line ends of the output (default: crlf)\n"
    "      --align N        align each array to N bytes (a power of two up to 4096; default: its element)\n"
    "      --section NAME   put each array in the linker section NAME (\"segment,section\" for Mach-O)\n"
    "      --utf8           write the header comment in UTF-8 instead of Shift-JIS\n"
    "      --table NAME     write every INPUT, folders walked through, into one source (default\n"
    "                       NAME.c) with the table NAME_entries, sorted by path, and NAME_find;\n"
    "                       list or string form, each file's data ending with a zero not counted\n"
    "      --base DIR       the folder the table's paths start from (default: the current one)\n"
    "  -h, --help           show this help\n"
    "      --version        show the version\n"
    "\n"
    "INPUT '-' reads standard input. With SOURCE_DATE_EPOCH set, the header shows that time (UTC)\n"
    "instead of the input's creation time.\n"
    "Any option that changes the declaration gives text that compiles as C and C++ alike:\n"
    "extern \"C\" declarations for C++, char elements as character literals, never an empty list.\n"
    "\n"
    "Examples, one per form:\n"
    "  arrayforge -t u8 -n logo --const --length --header logo.h logo.png\n"
    "  arrayforge -t uchar -n notes --format string --eol lf notes.txt\n"
    "  arrayforge -t u8 --static --const --format embed -o font.inc font.bin\n"
    "  arrayforge -t u8 -n video --length --align 64 --format object --header video.h video.bin\n"
    "  arrayforge --table web --base site --format string -o web.c --header web.h site/\n"
    "\n"
    "Exit status: 0 written, 2 usage error, 3 input error, 4 output error or overwrite refused.\n";

}  // namespace

std::string Usage() { return kUsageText + ("\nTargets: " + std::string(ObjectTargetNames()) + "\n"); }

namespace {

const std::map<std::string, ArrayFormat> kFormatNames{{"list", ArrayFormat::List},
                                                      {"string", ArrayFormat::String},
                                                      {"embed", ArrayFormat::Embed},
                                                      {"object", ArrayFormat::Object},
                                                      {"asm", ArrayFormat::Asm}};

ParseResult Refuse(std::string why) { return {std::nullopt, std::move(why)}; }

// What a section name may hold in every compiler's and assembler's quotes
// ("segment,section" for Mach-O).
constexpr char kSectionCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._$,";

// Why `name` cannot name an array or a length; empty when it can.
std::string CheckName(const std::string& name) {
    if (!IsIdentifier(name)) return "'" + name + "' is not a C identifier";
    if (auto why = WhyReservedName(name); !why.empty()) return "'" + name + "' " + std::string(why);
    return {};
}

// The combinations that cannot work, once every option is known.
std::string CheckCombination(const CommandLine& line) {
    const ArrayForm& form = line.form;
    const bool oneOutput = line.output.has_value() && line.inputs.size() > 1;
    if ((form.format == ArrayFormat::String || form.format == ArrayFormat::Embed) && WidthOf(form.type) != 1)
        return "--format string and embed need a 1-byte type (char, uchar, u8)";
    if (form.isStatic && !line.header.empty()) return "--header declares no static arrays";
    if (std::count(line.inputs.begin(), line.inputs.end(), "-") > 1) return "standard input can be read only once";
    if (form.format == ArrayFormat::Embed && std::count(line.inputs.begin(), line.inputs.end(), "-") > 0)
        return "--format embed needs an input file, not standard input";
    if (!line.table.empty()) {
        if (form.format != ArrayFormat::List && form.format != ArrayFormat::String)
            return "--table writes the list or string form: its entries hold pointers to the data, which need "
                   "relocations that the object files written here do not have";
        if (form.type != ElementType::Char && form.type != ElementType::UnsignedChar)
            return "--table holds its files as unsigned char";
        if (line.nameGiven || line.length || form.isStatic)
            return "--table names its arrays, their lengths and linkage itself: no -n, --length or --static";
        if (std::count(line.inputs.begin(), line.inputs.end(), "-") > 0)
            return "--table takes files and folders, not standard input";
        return {};
    }
    if (line.base) return "--base is the folder of --table's paths";
    if (line.inputs.size() > 1 && !line.output && !line.header.empty())
        return "--header with several inputs needs -o: one output for them all";
    if (oneOutput && line.nameGiven) return "-n names one array; with several inputs they are named after their files";
    if (oneOutput && line.length && !line.length->empty())
        return "--length=NAME names one length; with several inputs use --length";
    if (line.length && !line.length->empty() && *line.length == form.name)
        return "the length cannot have the array's name";
    if (form.alignment != 0 && form.alignment < WidthOf(form.type))
        return "--align " + std::to_string(form.alignment) + " is less than an element's own alignment";
    const bool linked = form.format == ArrayFormat::Object || form.format == ArrayFormat::Asm;
    if (form.target && !linked) return "--target names the machine of --format object or asm";
    if (linked && form.isStatic) return "--format object and asm define no static arrays";
    // Their bytes are the array's memory: a UINT is four bytes where a uint element holds two.
    if (linked && form.type == ElementType::Uint) return "--format object and asm take u16, not uint, for 2-byte elements";
    if (form.format == ArrayFormat::Asm && std::count(line.inputs.begin(), line.inputs.end(), "-") > 0)
        return "--format asm needs an input file, not standard input";
    if (linked && !form.target) return "this machine has no object format of its own: name one with --target";
    if (linked && !form.section.empty())
        if (auto why = WhyNotASectionName(form.section, *form.target); !why.empty()) return "--section: " + why;
    return {};
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        if (optionsEnded || option.size() < 2 || option.front() != '-') {
            if (option.empty()) return Refuse("an input file name is empty");
            result.inputs.push_back(option);
            continue;
        }
        // "--name=value" as well as "--name value".
        std::optional<std::string> attached;
        if (auto equals = option.find('='); option.starts_with("--") && equals != std::string::npos) {
            attached = option.substr(equals + 1);
            option.resize(equals);
        }
        auto value = [&]() -> std::optional<std::string> {
            if (attached) return attached;
            if (i + 1 >= arguments.size()) return std::nullopt;
            return arguments[++i];
        };
        const bool takesValue = option == "-t" || option == "--type" || option == "-o" || option == "--output" ||
                                option == "-n" || option == "--name" || option == "--header" || option == "--format" ||
                                option == "--eol" || option == "--align" || option == "--section" ||
                                option == "--target" || option == "--table" || option == "--base";
        if (attached && !takesValue && option != "--length") return Refuse("option " + option + " takes no value");

        if (option == "--") {
            optionsEnded = true;
        } else if (option == "-h" || option == "--help") {
            result.action = CommandLine::Action::Help;
            return {result, {}};
        } else if (option == "--version") {
            result.action = CommandLine::Action::Version;
            return {result, {}};
        } else if (option == "-f" || option == "--force") {
            result.force = true;
        } else if (option == "-q" || option == "--quiet") {
            result.quiet = true;
        } else if (option == "--const") {
            result.form.isConst = true;
        } else if (option == "--static") {
            result.form.isStatic = true;
        } else if (option == "--nul") {
            result.form.nul = true;
        } else if (option == "--utf8") {
            result.utf8Header = true;
        } else if (option == "--length") {
            if (attached) {
                if (auto why = CheckName(*attached); !why.empty()) return Refuse("--length: " + why);
            }
            result.length = attached.value_or("");
        } else if (takesValue) {
            auto text = value();
            if (!text || text->empty()) return Refuse("option " + option + " needs a value");
            if (option == "-t" || option == "--type") {
                auto type = ElementTypeNamed(*text);
                if (!type) return Refuse("unknown type '" + *text + "'");
                result.form.type = *type;
            } else if (option == "--format") {
                auto found = kFormatNames.find(*text);
                if (found == kFormatNames.end()) return Refuse("unknown format '" + *text + "'");
                result.form.format = found->second;
            } else if (option == "--eol") {
                if (*text != "lf" && *text != "crlf") return Refuse("--eol takes lf or crlf, not '" + *text + "'");
                result.lfLineEnds = *text == "lf";
            } else if (option == "-n" || option == "--name") {
                if (auto why = CheckName(*text); !why.empty()) return Refuse(why);
                result.form.name = *text;
                result.nameGiven = true;
            } else if (option == "--table") {
                if (auto why = CheckName(*text); !why.empty()) return Refuse("--table: " + why);
                result.table = *text;
            } else if (option == "--base") {
                result.base = *text;
            } else if (option == "--header") {
                result.header = *text;
            } else if (option == "--align") {
                const int alignment = std::atoi(text->c_str());
                if (text->find_first_not_of("0123456789") != std::string::npos || alignment < 1 || alignment > 4096 ||
                    (alignment & (alignment - 1)) != 0)
                    return Refuse("--align takes a power of two from 1 to 4096, not '" + *text + "'");
                result.form.alignment = static_cast<std::uint32_t>(alignment);
            } else if (option == "--target") {
                result.form.target = ObjectTargetNamed(*text);
                if (!result.form.target)
                    return Refuse("unknown target '" + *text + "'; one of " + std::string(ObjectTargetNames()));
            } else if (option == "--section") {
                if (text->size() > 64 || text->find_first_not_of(kSectionCharacters) != std::string::npos)
                    return Refuse("--section takes up to 64 letters, digits and . _ $ , not '" + *text + "'");
                result.form.section = *text;
            } else {
                result.output = *text;
            }
        } else {
            return Refuse("unknown option '" + option + "'");
        }
    }
    if (result.inputs.empty()) return Refuse("no input file given");
    if ((result.form.format == ArrayFormat::Object || result.form.format == ArrayFormat::Asm) && !result.form.target)
        result.form.target = HostObjectTarget();
    if (auto why = CheckCombination(result); !why.empty()) return Refuse(why);
    return {result, {}};
}
