// The object writers. What they refuse is checked here directly; what they
// write is read back by the platforms' own tools (ReadBack, slow: ctest -C
// integration): listed by llvm-nm, readelf, llvm-readobj and llvm-objdump,
// linked into a program that prints its symbols' addresses and bytes and run
// natively, under qemu or Wine, or linked into a library whose exports
// readback.py reads back. A missing tool skips its check with a message.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "generator/ObjectFile.h"

namespace {

namespace fs = std::filesystem;

const ObjectTarget& Target(std::string_view name) { return *ObjectTargetNamed(name); }

TEST(ObjectFile, RefusesSectionNamesATargetCannotHold) {
    const ObjectTarget &elf = Target("elf32-littlearm"), &coff = Target("pe-x86-64"), &macho = Target("mach-o-arm64");
    const std::string longName(300, 'x');
    struct Case {
        const ObjectTarget& target;
        std::string_view name;
        bool taken;
    };
    for (const Case& c : {Case{elf, ".rodata.a$b_9", true},
                          {elf, longName, true},
                          {elf, "", false},
                          {elf, "a b", false},
                          {elf, "a,b", false},
                          {elf, "a\"b", false},
                          {elf, ".symtab", false},
                          {coff, ".rdata$long_name", true},
                          {coff, ".drectve", false},
                          {coff, ".symtab", true},
                          {macho, "__TEXT,__const", true},
                          {macho, "__const", false},
                          {macho, "__DATA,", false},
                          {macho, ",__data", false},
                          {macho, "a,b,c", false},
                          {macho, "0123456789abcdef,0123456789abcdef", true},
                          {macho, "0123456789abcdefg,x", false},
                          {macho, "x,0123456789abcdefg", false}})
        EXPECT_EQ(WhyNotASectionName(c.name, c.target).empty(), c.taken) << c.target.name << " '" << c.name << "'";
}

TEST(ObjectFile, RefusesLayoutsNoObjectCanHold) {
    const auto refused = [](const char* target, std::uint32_t alignment, std::uint64_t size,
                            std::vector<ObjectSymbol> symbols) {
        return !WhyNotALayout({ObjectTargetNamed(target), "", alignment, size, std::move(symbols)}).empty();
    };
    EXPECT_FALSE(refused("elf64-x86-64", 4096, 8, {{"a", 0, 8}, {"b", 8, 0}}));
    EXPECT_FALSE(refused("elf64-x86-64", 1, 0, {}));
    for (std::uint32_t alignment : {0u, 3u, 8192u}) EXPECT_TRUE(refused("elf64-x86-64", alignment, 8, {}));
    EXPECT_TRUE(refused("pe-i386", 16, 8, {{"a", 0, 9}}));
    EXPECT_TRUE(refused("pe-i386", 16, 8, {{"a", 9, 0}}));
    EXPECT_TRUE(refused("pe-i386", 16, 8, {{"a", 2, ~std::uint64_t{0}}}));
    EXPECT_TRUE(refused("pe-i386", 16, 8, {{"a", 0, 1}, {"a", 1, 1}}));
    EXPECT_TRUE(refused("pe-i386", 16, 8, {{"", 0, 1}}));
    EXPECT_TRUE(refused("pe-i386", 16, 8, {{std::string("a\0b", 3), 0, 1}}));
    // Offsets of 32 bits reach 4 GiB, a 64-bit ELF file's reach further.
    for (const char* target : {"elf32-i386", "pe-x86-64", "mach-o-x86-64"}) {
        EXPECT_FALSE(refused(target, 16, 0xFFFF0000, {{"a", 0, 0xFFFF0000}})) << target;
        EXPECT_TRUE(refused(target, 16, 0xFFFFFFF0, {{"a", 0, 0xFFFFFFF0}})) << target;
    }
    EXPECT_FALSE(refused("elf64-littleaarch64", 16, 0x100000000, {{"a", 0, 0x100000000}}));
}

// A layout as the front end makes it: two arrays (an odd length, a zero
// byte, bytes of 0x80 and more, a name longer than COFF's eight bytes),
// each at 16 bytes, then their lengths as 8-byte values.
struct Sample {
    ObjectLayout layout;
    std::string bytes;
};
Sample MakeSample(const ObjectTarget& target, std::uint32_t alignment, std::string section) {
    const std::pair<std::string, std::string> arrays[] = {{"alpha", std::string("\0\x80\xFF\x7F"
                                                                                "Arrayfor!",
                                                                                13)},
                                                          {"second_array_with_a_long_name",
                                                           "\x01\xFE"
                                                           "second array byte"}};
    Sample s{{&target, std::move(section), alignment, 0, {}}, {}};
    for (const auto& [name, bytes] : arrays) {
        s.bytes.resize((s.bytes.size() + 15) & ~15, '\0');
        s.layout.symbols.push_back({name, s.bytes.size(), bytes.size()});
        s.bytes += bytes;
    }
    for (const auto& [name, bytes] : arrays) {
        s.bytes.resize((s.bytes.size() + 7) & ~7, '\0');
        s.layout.symbols.push_back({name + "_size", s.bytes.size(), 8});
        for (int i = 0; i < 8; ++i) s.bytes.push_back(static_cast<char>(bytes.size() >> 8 * i));
    }
    s.layout.sectionSize = s.bytes.size();
    return s;
}

std::string Hex(std::uint64_t value, const char* format = "%llx") {
    char text[24];
    std::snprintf(text, sizeof text, format, static_cast<unsigned long long>(value));
    return text;
}
std::string Escaped(std::string_view text) {  // for a regular expression
    std::string escaped;
    for (char c : text)
        escaped.append(std::string_view(".$^*+?()[]{}|\\").find(c) != std::string_view::npos ? "\\" : "") += c;
    return escaped;
}

// What the programs and readback.py print: each symbol's name, address
// modulo the section's alignment and bytes.
std::string Reading(const Sample& s) {
    std::string text;
    for (const ObjectSymbol& symbol : s.layout.symbols) {
        text += symbol.name + " " + std::to_string(symbol.offset % s.layout.alignment);
        for (std::uint64_t i = 0; i < symbol.size; ++i)
            text += Hex(static_cast<unsigned char>(s.bytes[symbol.offset + i]), " %02llx");
        text += "\n";
    }
    return text;
}

// The C program that prints the reading; with REFERENCES_ONLY, only its
// references to the symbols, for linkers of platforms that cannot run here.
std::string CheckProgram(const Sample& s) {
    std::string declared, referenced, shown;
    for (const ObjectSymbol& symbol : s.layout.symbols) {
        declared += "extern const unsigned char " + symbol.name + "[];\n";
        referenced += symbol.name + ", ";
        shown += "    show(\"" + symbol.name + "\", " + symbol.name + ", " + std::to_string(symbol.size) + ");\n";
    }
    return declared + "const unsigned char* const references[] = {" + referenced + "};\n#ifndef REFERENCES_ONLY\n" +
           "#include <stddef.h>\n#include <stdio.h>\nstatic void show(const char* name, const unsigned char* bytes, "
           "size_t size) {\n    printf(\"%s %lu\", name, (unsigned long)((size_t)bytes % " +
           std::to_string(s.layout.alignment) +
           "));\n    for (size_t i = 0; i < size; ++i) printf(\" %02x\", bytes[i]);\n" +
           "    printf(\"\\n\");\n}\nint main(void) {\n" + shown + "    return 0;\n}\n#endif\n";
}

// What the LLVM tools and readelf list: the symbols (sizes only in ELF), and
// the facts of each format's headers that no link shows.
std::string Symbols(const Sample& s, std::string_view prefix) {
    const ObjectFormat format = s.layout.target->format;
    std::vector<std::string> lines;
    for (const ObjectSymbol& symbol : s.layout.symbols)
        lines.push_back(std::string(prefix) + symbol.name + (format == ObjectFormat::MachO ? " S " : " R ") +
                        Hex(symbol.offset) + " " + Hex(format == ObjectFormat::Elf ? symbol.size : 0) + "\n");
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) text += line;
    return text;
}
std::pair<std::string, std::vector<std::string>> Structure(const Sample& s, std::string_view prefix) {
    const std::string section = Escaped(s.layout.section), size = std::to_string(s.layout.sectionSize);
    const std::string align = std::to_string(s.layout.alignment), count = std::to_string(s.layout.symbols.size());
    std::vector<std::string> facts;
    switch (s.layout.target->format) {
    case ObjectFormat::Elf:
        facts.push_back("\\] " + section + " PROGBITS 0+ [0-9a-f]+ " + Hex(s.layout.sectionSize, "%06llx") +
                        " 00 A 0 0 " + align + " ");
        for (const ObjectSymbol& symbol : s.layout.symbols)
            facts.push_back(": 0*" + Hex(symbol.offset) + " " + std::to_string(symbol.size) +
                            " OBJECT GLOBAL DEFAULT 1 " + symbol.name + " ");
        return {"readelf -h -S -s -W", facts};
    case ObjectFormat::Coff:
        facts.push_back("Name: " + section + " \\(.*\\) VirtualSize: 0x0 VirtualAddress: 0x0 RawDataSize: " + size +
                        " .* IMAGE_SCN_ALIGN_" + align +
                        "BYTES \\(0x[0-9A-F]+\\) IMAGE_SCN_CNT_INITIALIZED_DATA \\(0x40\\) IMAGE_SCN_MEM_READ "
                        "\\(0x40000000\\) \\]");
        for (const ObjectSymbol& symbol : s.layout.symbols)
            facts.push_back("Name: " + std::string(prefix) + symbol.name + " Value: " + std::to_string(symbol.offset) +
                            " Section: " + section +
                            " \\(1\\) BaseType: Null \\(0x0\\) ComplexType: Null \\(0x0\\) StorageClass: External");
        return {"llvm-readobj-19 --sections --symbols", facts};
    case ObjectFormat::MachO: {
        const auto comma = s.layout.section.find(',');
        facts.push_back("sectname " + section.substr(comma + 1) + " segname " + section.substr(0, comma) +
                        " addr 0x0+ size 0x0*" + Hex(s.layout.sectionSize) + " offset [0-9]+ align 2\\^" +
                        std::to_string(std::countr_zero(s.layout.alignment)) + " \\(" + align + "\\)");
        facts.push_back("platform macos");
        facts.push_back("nsyms " + count + " .* iextdefsym 0 nextdefsym " + count + " iundefsym " + count +
                        " nundefsym 0");
        return {"llvm-objdump-19 --macho --private-headers", facts};
    }
    }
    return {};
}

// One way to read an object back: a shell condition saying whether the
// tools it needs are here, and a command that prints the reading. The
// commands find the object in $O, the program's source in $C, a name for
// what they make in $X, the alignment in $A, NAME:SIZE of each symbol in $S,
// lld-link's exports in $EXPORTS.
struct Way {
    std::string needs, command;
};
const Way kGcc{"command -v gcc", "gcc -Wl,--fatal-warnings $C $O -o $X && $X"};
const Way kClang{"command -v clang", "clang -Wl,--fatal-warnings $C $O -o $X && $X"};
Way Emulated(const std::string& triple, const std::string& qemu) {
    return {"command -v clang-19 qemu-" + qemu + "-static && test -f /usr/" + triple + "/lib/crt1.o",
            "clang-19 --target=" + triple + " -Wl,--fatal-warnings $C $O -o $X && qemu-" + qemu + "-static -L /usr/" +
                triple + " $X"};
}
Way Wine(const std::string& mingw, const std::string& needs) {
    return {"command -v " + mingw + "-gcc && test -x $WINELOADER" + needs,
            mingw + "-gcc -Wl,--fatal-warnings $C $O -o $X.exe && $WINELOADER $X.exe"};
}
Way LldLink(const std::string& triple) {
    return {"command -v clang-19 lld-link && $PY -c 'import pefile'",
            "clang-19 --target=" + triple +
                " -DREFERENCES_ONLY -c $C -o $X.ref && lld-link /dll /noentry $EXPORTS $X.ref $O /out:$X.dll && $PY $R "
                "$X.dll $A $S"};
}
Way Ld64(const std::string& arch) {
    return {"command -v clang-19 ld64.lld-19 llvm-nm-19 llvm-objdump-19",
            "clang-19 --target=" + arch + "-apple-macos11 -DREFERENCES_ONLY -c $C -o $X.ref && ld64.lld-19 -arch " +
                arch + " -platform_version macos 11.0 11.0 -dylib $X.ref $O -o $X.dylib && $PY $R $X.dylib $A $S"};
}

// One object per target; the host's (null) is linked natively.
struct Row {
    const char* target;
    std::uint32_t alignment;
    std::string section;  // empty: the target's own
    std::string prefix;   // the C compilers' decoration
    std::string fact;     // one more the structure shows
    std::vector<Way> ways;
};
const Row kRows[] = {
    {nullptr, 4096, "", "", "Flags: 0x0 ", {kGcc, kClang}},
    {"elf32-i386",
     1,
     ".rodata.arrayforge$long_section_name",
     "",
     "",
     {{"command -v gcc qemu-i386-static && test -f /usr/lib32/crt1.o",
       "gcc -m32 -Wl,--fatal-warnings $C $O -o $X && qemu-i386-static $X"}}},
    {"elf64-littleaarch64", 16, "arraydata", "", "", {Emulated("aarch64-linux-gnu", "aarch64")}},
    {"elf32-littlearm", 16, "", "", "Version5 EABI", {Emulated("arm-linux-gnueabihf", "arm")}},
    {"pe-x86-64",
     16,
     ".rdata$long_custom_name",
     "",
     "",
     {Wine("x86_64-w64-mingw32", ""), LldLink("x86_64-windows-msvc")}},
    {"pe-i386",
     4096,
     "",
     "_",
     "Name: @feat.00 Value: 1 Section: IMAGE_SYM_ABSOLUTE \\(-1\\)",
     {Wine("i686-w64-mingw32", " && /usr/lib/wine/wineserver32 --version"), LldLink("i686-windows-msvc")}},
    {"pe-aarch64-little", 1, "arraydat", "", "", {LldLink("aarch64-windows-msvc")}},
    {"mach-o-x86-64", 4096, "", "_", "", {Ld64("x86_64")}},
    {"mach-o-arm64", 1, "__DATA,__arraydata", "_", "", {Ld64("arm64")}},
};

// Runs a shell command; its exit status and standard output (without CR),
// or its error output when it fails.
std::pair<int, std::string> Shell(const fs::path& dir, const std::string& command) {
    std::ofstream(dir / "command.sh") << command << "\n";
    const int status = std::system(("bash " + (dir / "command.sh").string() + " </dev/null >" + (dir / "out").string() +
                                    " 2>" + (dir / "err").string())
                                       .c_str());
    std::stringstream text;
    text << std::ifstream(dir / (status == 0 ? "out" : "err")).rdbuf();
    std::string output = text.str();
    std::erase(output, '\r');
    return {status, output};
}

class ReadBack : public testing::TestWithParam<Row> {};

TEST_P(ReadBack, ByThePlatformsTools) {
    const Row& row = GetParam();
    const ObjectTarget* target = row.target ? ObjectTargetNamed(row.target) : HostObjectTarget();
    ASSERT_NE(target, nullptr);
    Sample s = MakeSample(*target, row.alignment, row.section);
    ASSERT_EQ(WhyNotALayout(s.layout), "");
    const fs::path dir = fs::path(ARRAYFORGE_OBJECT_WORK) / target->name;
    fs::create_directories(dir);
    std::ofstream(dir / "data.o", std::ios::binary) << ObjectPrologue(s.layout) << s.bytes << ObjectEpilogue(s.layout);
    std::ofstream(dir / "check.c") << CheckProgram(s);
    std::string symbols, exports;
    for (const ObjectSymbol& symbol : s.layout.symbols) {
        symbols += symbol.name + ":" + std::to_string(symbol.size) + " ";
        exports += "/export:" + symbol.name + ",DATA ";
    }
    for (const auto& [name, value] : {std::pair<const char*, std::string>{"O", (dir / "data.o").string()},
                                      {"C", (dir / "check.c").string()},
                                      {"X", (dir / "check").string()},
                                      {"A", std::to_string(s.layout.alignment)},
                                      {"S", symbols},
                                      {"EXPORTS", exports}})
        setenv(name, value.c_str(), 1);
    if (s.layout.section.empty()) s.layout.section = target->section;

    if (Shell(dir, "command -v llvm-nm-19 llvm-readobj-19 llvm-objdump-19 readelf").first != 0) {
        std::printf("skipped: the listings, for want of llvm-19 or binutils\n");
    } else {
        EXPECT_EQ(Shell(dir, "llvm-nm-19 -P -S -g $O 2>/dev/null").second, Symbols(s, row.prefix));
        auto [lister, facts] = Structure(s, row.prefix);
        const std::string listing =
            std::regex_replace(Shell(dir, lister + " $O").second, std::regex("\\s+"), " ") + " ";
        if (!row.fact.empty()) facts.push_back(row.fact);
        for (const std::string& fact : facts)
            EXPECT_TRUE(std::regex_search(listing, std::regex(fact))) << fact << "\nin: " << listing;
    }
    for (const Way& way : row.ways) {
        if (Shell(dir, way.needs).first != 0) {
            std::printf("skipped, for want of what `%s` asks: %s\n", way.needs.c_str(), way.command.c_str());
            continue;
        }
        const auto [status, output] = Shell(dir, way.command);
        EXPECT_EQ(status, 0) << way.command << "\n" << output;
        if (status == 0) {
            EXPECT_EQ(output, Reading(s)) << way.command;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, ReadBack, testing::ValuesIn(kRows), [](const auto& info) {
    std::string name = info.param.target ? info.param.target : "host";
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

// The Wine programs run in a 64-bit prefix of their own, kept between runs;
// readback.py needs a Python that has pefile.
class Environment : public testing::Environment {
    void SetUp() override {
        const std::string prefix = (fs::path(ARRAYFORGE_OBJECT_WORK) / "wine").string();
        for (const auto& [name, value] : {std::pair<const char*, std::string>{"WINEPREFIX", prefix},
                                          {"WINEARCH", "win64"},
                                          {"WINEDEBUG", "-all"},
                                          {"WINEDLLOVERRIDES", "mscoree="},
                                          {"WINELOADER", "/usr/lib/wine/wine64"},
                                          {"R", ARRAYFORGE_READBACK},
                                          {"PY", "python3"}})
            setenv(name, value.c_str(), 1);
        if (std::system("python3 -c 'import pefile' 2>/dev/null") != 0) setenv("PY", "/usr/bin/python3", 1);
    }
};
const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new Environment);

}  // namespace
