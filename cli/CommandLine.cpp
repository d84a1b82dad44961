#include "cli/CommandLine.h"

#include <map>

const char* const kUsage =
    "Usage: arrayforge [-t char|uint|ulong] [-o OUTPUT] [-f] INPUT\n"
    "Writes INPUT as C/C++ source: a comment header and one initialised array.\n"
    "\n"
    "  -t, --type TYPE    element type: char (1 byte, default), uint (2 bytes), ulong (4 bytes)\n"
    "  -o, --output FILE  output file; '-' writes to standard output\n"
    "                     (default: INPUT with its last extension replaced by .c)\n"
    "  -f, --force        overwrite an existing output without asking\n"
    "  -h, --help         show this help\n"
    "      --version      show the version\n"
    "\n"
    "Exit status: 0 written, 2 usage error, 3 input error, 4 output error or overwrite refused.\n";

namespace {

const std::map<std::string, DataType> kTypeNames{
    {"char", DataType::Char}, {"uint", DataType::Uint}, {"ulong", DataType::Ulong}};

ParseResult Refuse(std::string why) { return {std::nullopt, std::move(why)}; }

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    bool haveInput = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto nextValue = [&]() -> std::optional<std::string> {
            if (i + 1 >= arguments.size()) return std::nullopt;
            return arguments[++i];
        };
        if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            if (argument == "--") {
                optionsEnded = true;
            } else if (argument == "-h" || argument == "--help") {
                result.action = CommandLine::Action::Help;
                return {result, {}};
            } else if (argument == "--version") {
                result.action = CommandLine::Action::Version;
                return {result, {}};
            } else if (argument == "-f" || argument == "--force") {
                result.force = true;
            } else if (argument == "-t" || argument == "--type") {
                auto name = nextValue();
                if (!name) return Refuse("option " + argument + " needs a type");
                auto found = kTypeNames.find(*name);
                if (found == kTypeNames.end()) return Refuse("unknown type '" + *name + "'");
                result.dataType = found->second;
            } else if (argument == "-o" || argument == "--output") {
                auto path = nextValue();
                if (!path || path->empty()) return Refuse("option " + argument + " needs a file name");
                result.output = *path;
            } else {
                return Refuse("unknown option '" + argument + "'");
            }
            continue;
        }
        if (haveInput) return Refuse("only one input file may be given");
        if (argument.empty()) return Refuse("the input file name is empty");
        result.input = argument;
        haveInput = true;
    }
    if (!haveInput) return Refuse("no input file given");
    return {result, {}};
}
