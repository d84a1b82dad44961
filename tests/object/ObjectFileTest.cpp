// The object writers. What they refuse is checked here directly; what they
// write is read back by the platforms' own tools (ReadBack): listed by
// readelf, llvm-readobj or llvm-objdump, linked with
// check.c into a program run natively or under qemu, or into a library
// whose exports readback.py reads. A missing tool skips its check with a message.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "generator/ObjectFile.h"

namespace {

namespace fs = std::filesystem;

TEST(ObjectFile, RefusesSectionNamesATargetCannotHold) {
    struct Names {
        const char* target;
        std::vector<std::string> taken, refused;
    };
    // clang-format off
    for (const Names& names : {
             Names{"elf32-littlearm", {".rodata.a$b_9", std::string(300, 'x')}, {"", "a b", "a,b", "a\"b", "a-b", ".symtab"}},
             Names{"pe-x86-64", {".rdata$long_name", ".symtab"}, {"", ".drectve", "a/b"}},
             Names{"mach-o-arm64", {"__TEXT,__const", "0123456789abcdef,0123456789abcdef"},
                   {"__const", "__DATA,", ",__data", "a,b,c", "0123456789abcdefg,x", "x,0123456789abcdefg", "a b,c", "a,,b"}}}) {
        // clang-format on
        const ObjectTarget& target = *ObjectTargetNamed(names.target);
        for (const std::string& name : names.taken) EXPECT_EQ(WhyNotASectionName(name, target), "") << name;
        for (const std::string& name : names.refused) EXPECT_NE(WhyNotASectionName(name, target), "") << name;
    }
}

TEST(ObjectFile, RefusesLayoutsNoObjectCanHold) {
    const auto refused = [](const char* target, std::uint32_t alignment, std::uint64_t size,
                            std::vector<ObjectSymbol> symbols) {
        return !WhyNotALayout({ObjectTargetNamed(target), "", alignment, size, std::move(symbols)}).empty();
    };
    EXPECT_FALSE(refused("elf64-x86-64", 4096, 8, {{"a", 0, 8}, {"b", 8, 0}}));
    EXPECT_FALSE(refused("elf64-x86-64", 1, 0, {}));
    for (std::uint32_t alignment : {0u, 3u, 8192u}) EXPECT_TRUE(refused("elf64-x86-64", alignment, 8, {}));
    for (const std::vector<ObjectSymbol>& symbols :
         std::vector<std::vector<ObjectSymbol>>{{{"a", 0, 9}},
                                                {{"a", 9, 0}},
                                                {{"a", 2, ~std::uint64_t{0}}},
                                                {{"a", 0, 1}, {"a", 1, 1}},
                                                {{"", 0, 1}},
                                                {{std::string("a\0b", 3), 0, 1}}})
        EXPECT_TRUE(refused("pe-i386", 16, 8, symbols)) << symbols.front().name;
    // Offsets of 32 bits reach 4 GiB: the largest file they take, as the
    // writers write it, is what they refuse one byte past. A 64-bit ELF
    // file's reach further.
    for (const char* target : {"elf32-i386", "pe-i386", "mach-o-arm64"}) {
        const auto layout = [target](std::uint64_t size) {
            return ObjectLayout{ObjectTargetNamed(target), "", 8, size, {{"a_long_name", 0, size}}};
        };
        const auto written = [&layout](std::uint64_t size) {
            return ObjectPrologue(layout(size)).size() + size + ObjectEpilogue(layout(size)).size();
        };
        std::uint64_t largest = 0xFFFFFFFF - written(0);
        while (written(largest) > 0xFFFFFFFF) --largest;
        while (written(largest + 1) <= 0xFFFFFFFF) ++largest;
        EXPECT_EQ(WhyNotALayout(layout(largest)), "") << target;
        EXPECT_NE(WhyNotALayout(layout(largest + 1)), "") << target;
    }
    EXPECT_FALSE(refused("elf64-littleaarch64", 16, 0x100000000, {{"a", 0, 0x100000000}}));
}

// The section as the front end lays it out: two arrays (an odd length, a zero
// byte, bytes of 0x80 and more, a name longer than COFF's eight bytes), each
// at 16 bytes, then their lengths as 8-byte values. The lengths come first in
// the list, as check.c prints them.
struct Sample {
    ObjectLayout layout;
    std::string bytes;
};
Sample MakeSample(const ObjectTarget& target, std::uint32_t alignment, std::string section) {
    // clang-format off
    const std::pair<std::string, std::string> arrays[] = {{"alpha", std::string("\0\x80\xFF\x7F" "Arrayfor!", 13)},
                                                          {"second_array_with_a_long_name", "\x01\xFE" "second array byte"}};
    // clang-format on
    Sample s{{&target, std::move(section), alignment, 0, {}}, {}};
    for (const auto& [name, bytes] : arrays) {
        s.bytes.resize((s.bytes.size() + 15) & ~15, '\0');
        s.layout.symbols.push_back({name, s.bytes.size(), bytes.size()});
        s.bytes += bytes;
    }
    for (std::size_t i = 0; i < 2; ++i) {
        s.bytes.resize((s.bytes.size() + 7) & ~7, '\0');
        s.layout.symbols.insert(s.layout.symbols.begin() + i, {arrays[i].first + "_size", s.bytes.size(), 8});
        for (int b = 0; b < 8; ++b) s.bytes.push_back(static_cast<char>(arrays[i].second.size() >> 8 * b));
    }
    s.layout.sectionSize = s.bytes.size();
    return s;
}

// What check.c and readback.py print: each symbol's name, address modulo the
// section's alignment and bytes.
std::string Reading(const Sample& s) {
    std::string text;
    char hex[4];
    for (const ObjectSymbol& symbol : s.layout.symbols) {
        text += symbol.name + " " + std::to_string(symbol.offset % s.layout.alignment);
        for (std::uint64_t i = symbol.offset; i < symbol.offset + symbol.size; ++i)
            text.append(hex, std::snprintf(hex, sizeof hex, " %02x", static_cast<unsigned char>(s.bytes[i])));
        text += "\n";
    }
    return text;
}

// What no link shows (headers, section flags and alignment, symbol types):
// each format's listing, compared with a hand-checked one (golden/).
const char* Lister(ObjectFormat format) {
    switch (format) {
    case ObjectFormat::Elf: return "readelf -h -S -s -W";
    case ObjectFormat::Coff: return "llvm-readobj-19 --file-headers --sections --symbols";
    case ObjectFormat::MachO: return "llvm-objdump-19 --macho --private-headers --syms";
    }
    return "";
}

// One way to read an object back: a shell condition saying whether the tools
// it needs are here, and a command that prints the reading. Commands find the
// object in $O, check.c and its options in $C, a name for what they make in
// $X, the alignment in $A, NAME:SIZE of each symbol in $S, lld-link's exports
// in $EXPORTS.
struct Way {
    std::string needs, command;
};
const Way kGcc{"command -v gcc", "gcc -Wl,--fatal-warnings $C $O -o $X && $X"};
const Way kGcc32{"command -v gcc qemu-i386-static && test -f /usr/lib32/crt1.o",
                 "gcc -m32 -Wl,--fatal-warnings $C $O -o $X && qemu-i386-static $X"};
Way Emulated(const std::string& triple, const std::string& qemu) {
    return {
        "command -v clang-19 " + qemu + " && test -f /usr/" + triple + "/lib/crt1.o",
        "clang-19 --target=" + triple + " -Wl,--fatal-warnings $C $O -o $X && " + qemu + " -L /usr/" + triple + " $X"};
}
const std::string kReferences = " -DREFERENCES_ONLY -c $C -o $X.ref && ";
Way LldLink(const std::string& triple) {
    return {"command -v clang-19 lld-link-19 && $PY -c 'import pefile'",
            "clang-19 --target=" + triple + kReferences +
                "lld-link-19 /dll /noentry $EXPORTS $X.ref $O /out:$X.dll && $PY $R $X.dll $A $S"};
}
Way Ld64(const std::string& arch) {
    return {"command -v clang-19 ld64.lld-19 llvm-nm-19 llvm-objdump-19",
            "clang-19 --target=" + arch + "-apple-macos11" + kReferences + "ld64.lld-19 -arch " + arch +
                " -platform_version macos 11.0 11.0 -dylib $X.ref $O -o $X.dylib && $PY $R $X.dylib $A $S"};
}

// One object per target (null: the host's, linked natively), with its
// section's alignment and name, and the ways to read it back.
struct Row {
    const char* target;
    std::uint32_t alignment;
    std::string section;
    std::vector<Way> ways;
};
// clang-format off
const Row kRows[] = {
    {nullptr, 4096, "", {kGcc}},
    {"elf32-i386", 1, ".rodata.arrayforge$long_section_name", {kGcc32}},
    {"elf64-littleaarch64", 16, "arraydata", {Emulated("aarch64-linux-gnu", "qemu-aarch64-static")}},
    {"elf32-littlearm", 16, "", {Emulated("arm-linux-gnueabihf", "qemu-arm-static")}},
    {"pe-x86-64", 16, ".rdata$long_custom_name", {LldLink("x86_64-windows-msvc")}},
    {"pe-i386", 4096, "", {LldLink("i686-windows-msvc")}},
    {"pe-aarch64-little", 1, "arraydata", {LldLink("aarch64-windows-msvc")}},
    {"mach-o-x86-64", 4096, "", {Ld64("x86_64")}},
    {"mach-o-arm64", 1, "__DATA,__arraydata", {Ld64("arm64")}},
};
// clang-format on

// Runs a shell command: its exit status, and its output without CR (its
// error output when it fails).
std::pair<int, std::string> Shell(const fs::path& dir, const std::string& command) {
    std::ofstream(dir / "command.sh") << command << "\n";
    const std::string script = (dir / "command.sh").string(), out = (dir / "out").string(),
                      err = (dir / "err").string();
    const int status = std::system(("bash " + script + " </dev/null >" + out + " 2>" + err).c_str());
    std::stringstream text;
    text << std::ifstream(status == 0 ? out : err).rdbuf();
    std::string output = text.str();
    std::erase(output, '\r');
    return {status, output};
}

void PrintTo(const Row& row, std::ostream* out) { *out << (row.target ? row.target : "the host's"); }

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
    std::string symbols, exports;
    for (const ObjectSymbol& symbol : s.layout.symbols) {
        symbols += symbol.name + ":" + std::to_string(symbol.size) + " ";
        exports += "/export:" + symbol.name + ",DATA ";
    }
    // readback.py needs a Python that has pefile.
    const std::string python = std::system("python3 -c 'import pefile' 2>/dev/null") ? "/usr/bin/python3" : "python3";
    // clang-format off
    for (const auto& [name, value] : std::initializer_list<std::pair<const char*, std::string>>{
             {"O", (dir / "data.o").string()}, {"X", (dir / "check").string()}, {"A", std::to_string(row.alignment)},
             {"C", "-DALIGNMENT=" + std::to_string(row.alignment) + " " ARRAYFORGE_OBJECT_SOURCES "/check.c"},
             {"S", symbols}, {"EXPORTS", exports}, {"R", ARRAYFORGE_OBJECT_SOURCES "/readback.py"}, {"PY", python}})
        // clang-format on
        setenv(name, value.c_str(), 1);

    const std::string lister = Lister(target->format);
    std::ifstream golden(ARRAYFORGE_OBJECT_SOURCES "/golden/" + std::string(row.target ? "" : "host-") + std::string(target->name));
    if (!golden || Shell(dir, "command -v " + lister.substr(0, lister.find(' '))).first != 0) {
        std::printf("skipped the listing, for want of %s or its expected listing\n", lister.c_str());
    } else {
        std::stringstream expected;
        expected << golden.rdbuf();
        EXPECT_EQ(Shell(dir, lister + " $O | grep -v -e '^File: ' -e 'data.o:$'").second, expected.str()) << lister;
    }
    for (const Way& way : row.ways) {
        if (Shell(dir, way.needs).first != 0) {
            std::printf("skipped, for want of what `%s` asks: %s\n", way.needs.c_str(), way.command.c_str());
        } else if (const auto [status, output] = Shell(dir, way.command); status != 0) {
            ADD_FAILURE() << way.command << "\n" << output;
        } else {
            EXPECT_EQ(output, Reading(s)) << way.command;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, ReadBack, testing::ValuesIn(kRows), [](const auto& info) {
    std::string name = info.param.target ? info.param.target : "host";
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

}  // namespace
