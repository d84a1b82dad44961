#include "generator/ObjectFile.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <set>

namespace {

constexpr std::uint32_t kElfAlloc = 0x2;                        // SHF_ALLOC, without SHF_WRITE: read-only
constexpr std::uint32_t kElfArmEabi5 = 0x05000000;              // EF_ARM_EABI_VER5
constexpr std::uint32_t kCoffReadOnlyData = 0x40 | 0x40000000;  // initialised data, readable
constexpr std::uint32_t kMachO64Bit = 0x01000000;               // CPU_ARCH_ABI64, or'ed into the cputype

// Every target's facts. Machines: ELF's EM_X86_64, EM_386, EM_AARCH64 and
// EM_ARM; COFF's IMAGE_FILE_MACHINE_AMD64, _I386 and _ARM64; Mach-O's
// CPU_TYPE_X86_64 and CPU_TYPE_ARM64 with their subtypes for all models.
// Mach-O objects are for macOS on both machines.
constexpr ObjectTarget kTargets[] = {
    {"elf64-x86-64", ObjectFormat::Elf, 8, 62, 0, "", ".rodata", kElfAlloc, false},
    {"elf32-i386", ObjectFormat::Elf, 4, 3, 0, "", ".rodata", kElfAlloc, false},
    {"elf64-littleaarch64", ObjectFormat::Elf, 8, 183, 0, "", ".rodata", kElfAlloc, false},
    {"elf32-littlearm", ObjectFormat::Elf, 4, 40, kElfArmEabi5, "", ".rodata", kElfAlloc, false},
    {"pe-x86-64", ObjectFormat::Coff, 8, 0x8664, 0, "", ".rdata", kCoffReadOnlyData, false},
    {"pe-i386", ObjectFormat::Coff, 4, 0x14C, 0, "_", ".rdata", kCoffReadOnlyData, true},
    {"pe-aarch64-little", ObjectFormat::Coff, 8, 0xAA64, 0, "", ".rdata", kCoffReadOnlyData, false},
    {"mach-o-x86-64", ObjectFormat::MachO, 8, kMachO64Bit | 7, 3, "_", "__TEXT,__const", 0, false},
    {"mach-o-arm64", ObjectFormat::MachO, 8, kMachO64Bit | 12, 0, "_", "__TEXT,__const", 0, false},
};

constexpr std::string_view kHostTarget =
#if defined(__APPLE__) && defined(__aarch64__)
    "mach-o-arm64";
#elif defined(__APPLE__) && defined(__x86_64__)
    "mach-o-x86-64";
#elif defined(_WIN32) && (defined(_M_ARM64) || defined(__aarch64__))
    "pe-aarch64-little";
#elif defined(_WIN32) && (defined(_M_X64) || defined(__x86_64__))
    "pe-x86-64";
#elif defined(_WIN32) && (defined(_M_IX86) || defined(__i386__))
    "pe-i386";
#elif defined(__ELF__) && defined(__x86_64__) && !defined(__ILP32__)
    "elf64-x86-64";
#elif defined(__ELF__) && defined(__i386__)
    "elf32-i386";
#elif defined(__ELF__) && defined(__AARCH64EL__) && !defined(__ILP32__)
    "elf64-littleaarch64";
#elif defined(__ELF__) && defined(__ARMEL__)
    "elf32-littlearm";
#else
    "";
#endif

constexpr std::uint32_t kMaxAlignment = 4096;

// Appends `value` as `bytes` little-endian bytes.
void Put(std::string& out, std::uint64_t value, unsigned bytes) {
    for (unsigned i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> 8 * i));
}
// `text` in a field of `width` bytes, zeros after it.
void PutField(std::string& out, std::string_view text, std::size_t width) {
    out.append(text);
    out.append(width - text.size(), '\0');
}
std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
    return (value + alignment - 1) & ~(alignment - 1);
}

// Names one after the other, each ended by a zero byte; Add gives a name's offset.
struct StringTable {
    std::string bytes;
    std::uint32_t Add(std::string_view name) {
        const auto at = static_cast<std::uint32_t>(bytes.size());
        bytes.append(name);
        bytes.push_back('\0');
        return at;
    }
};

std::string_view SectionOf(const ObjectLayout& layout) {
    return layout.section.empty() ? layout.target->section : std::string_view(layout.section);
}
std::string Decorated(const ObjectLayout& layout, const ObjectSymbol& symbol) {
    return std::string(layout.target->symbolPrefix) + symbol.name;
}

// ELF: the header, the data at an offset aligned as the section is, then
// the symbols, the string tables and the section headers. The sections, in
// this order:
enum ElfSection : unsigned { kElfNull, kElfData, kElfStackNote, kElfSymbols, kElfStrings, kElfNames, kElfSections };
constexpr std::uint32_t kElfProgbits = 1, kElfSymtab = 2, kElfStrtab = 3;
constexpr std::uint8_t kElfGlobalObject = 0x11;  // STB_GLOBAL << 4 | STT_OBJECT

struct ElfPlan {
    unsigned word, headerBytes, symbolBytes, sectionHeaderBytes;
    std::uint64_t dataOffset, dataEnd, symbolsOffset, stringsOffset, namesOffset, headersOffset, end;
    StringTable strings, names;  // symbol names; section names
    std::vector<std::uint32_t> symbolNames;
    std::uint32_t sectionNames[kElfSections];
};

ElfPlan PlanElf(const ObjectLayout& layout) {
    ElfPlan p{};
    p.word = layout.target->wordBytes;
    const bool wide = p.word == 8;
    p.headerBytes = wide ? 64 : 52;
    p.symbolBytes = wide ? 24 : 16;
    p.sectionHeaderBytes = wide ? 64 : 40;
    p.strings.Add("");
    for (const ObjectSymbol& symbol : layout.symbols) p.symbolNames.push_back(p.strings.Add(Decorated(layout, symbol)));
    // An empty .note.GNU-stack tells GNU ld that the object needs no executable stack.
    const std::string_view names[] = {"", SectionOf(layout), ".note.GNU-stack", ".symtab", ".strtab", ".shstrtab"};
    for (unsigned i = 0; i < kElfSections; ++i) p.sectionNames[i] = p.names.Add(names[i]);
    p.dataOffset = AlignUp(p.headerBytes, layout.alignment);
    p.dataEnd = p.dataOffset + layout.sectionSize;
    p.symbolsOffset = AlignUp(p.dataEnd, p.word);
    p.stringsOffset = p.symbolsOffset + (layout.symbols.size() + 1) * p.symbolBytes;
    p.namesOffset = p.stringsOffset + p.strings.bytes.size();
    p.headersOffset = AlignUp(p.namesOffset + p.names.bytes.size(), p.word);
    p.end = p.headersOffset + kElfSections * p.sectionHeaderBytes;
    return p;
}

std::string ElfPrologue(const ObjectLayout& layout, const ElfPlan& p) {
    std::string out =
        "\x7F"
        "ELF";
    Put(out, p.word == 8 ? 2 : 1, 1);  // class: 64 or 32 bits
    Put(out, 1, 1);                    // little-endian
    Put(out, 1, 1);                    // version
    out.append(9, '\0');               // System V ABI; padding
    Put(out, 1, 2);                    // ET_REL
    Put(out, layout.target->machine, 2);
    Put(out, 1, 4);       // version
    Put(out, 0, p.word);  // entry point
    Put(out, 0, p.word);  // program headers: none
    Put(out, p.headersOffset, p.word);
    Put(out, layout.target->machineFlags, 4);
    Put(out, p.headerBytes, 2);
    Put(out, 0, 2);  // program header size and count
    Put(out, 0, 2);
    Put(out, p.sectionHeaderBytes, 2);
    Put(out, kElfSections, 2);
    Put(out, kElfNames, 2);
    out.append(p.dataOffset - p.headerBytes, '\0');
    return out;
}

std::string ElfEpilogue(const ObjectLayout& layout, const ElfPlan& p) {
    std::string out(p.symbolsOffset - p.dataEnd, '\0');
    out.append(p.symbolBytes, '\0');  // symbol 0 stands for none
    for (std::size_t i = 0; i < layout.symbols.size(); ++i) {
        const ObjectSymbol& symbol = layout.symbols[i];
        Put(out, p.symbolNames[i], 4);
        if (p.word == 8) {
            Put(out, kElfGlobalObject, 1);
            Put(out, 0, 1);  // default visibility
            Put(out, kElfData, 2);
            Put(out, symbol.offset, 8);
            Put(out, symbol.size, 8);
        } else {
            Put(out, symbol.offset, 4);
            Put(out, symbol.size, 4);
            Put(out, kElfGlobalObject, 1);
            Put(out, 0, 1);
            Put(out, kElfData, 2);
        }
    }
    out += p.strings.bytes;
    out += p.names.bytes;
    out.append(p.headersOffset - p.namesOffset - p.names.bytes.size(), '\0');
    const auto header = [&](ElfSection section, std::uint32_t type, std::uint64_t flags, std::uint64_t offset,
                            std::uint64_t size, std::uint32_t link, std::uint32_t info, std::uint64_t alignment,
                            std::uint64_t entrySize) {
        Put(out, p.sectionNames[section], 4);
        Put(out, type, 4);
        Put(out, flags, p.word);
        Put(out, 0, p.word);  // address: none before linking
        Put(out, offset, p.word);
        Put(out, size, p.word);
        Put(out, link, 4);
        Put(out, info, 4);
        Put(out, alignment, p.word);
        Put(out, entrySize, p.word);
    };
    out.append(p.sectionHeaderBytes, '\0');
    header(kElfData, kElfProgbits, layout.target->sectionFlags, p.dataOffset, layout.sectionSize, 0, 0,
           layout.alignment, 0);
    header(kElfStackNote, kElfProgbits, 0, p.dataEnd, 0, 0, 0, 1, 0);
    // The symbol table links to its strings; its info is the index of the
    // first global symbol (all but the null one).
    header(kElfSymbols, kElfSymtab, 0, p.symbolsOffset, p.stringsOffset - p.symbolsOffset, kElfStrings, 1, p.word,
           p.symbolBytes);
    header(kElfStrings, kElfStrtab, 0, p.stringsOffset, p.strings.bytes.size(), 0, 0, 1, 0);
    header(kElfNames, kElfStrtab, 0, p.namesOffset, p.names.bytes.size(), 0, 0, 1, 0);
    return out;
}

// COFF: the file header, one section header, the data, the symbols, then
// the string table, which starts with its own size.
constexpr unsigned kCoffHeaderBytes = 20, kCoffSectionHeaderBytes = 40, kCoffSymbolBytes = 18;
constexpr std::uint64_t kCoffDataOffset = kCoffHeaderBytes + kCoffSectionHeaderBytes;

struct CoffPlan {
    std::string sectionName;               // the 8-byte field
    std::vector<std::string> symbolNames;  // 8-byte fields
    StringTable strings;
    std::uint64_t symbolsOffset, symbolCount, end;
};

CoffPlan PlanCoff(const ObjectLayout& layout) {
    CoffPlan p{};
    p.strings.bytes.assign(4, '\0');
    // A longer section name is "/" and the decimal offset of its text in
    // the string table; a longer symbol name is four zeros and the offset.
    const std::string_view section = SectionOf(layout);
    if (section.size() > 8) p.sectionName = "/" + std::to_string(p.strings.Add(section));
    else p.sectionName = section;
    p.sectionName.resize(8, '\0');
    for (const ObjectSymbol& symbol : layout.symbols) {
        std::string name = Decorated(layout, symbol), field;
        if (name.size() > 8) Put(field.append(4, '\0'), p.strings.Add(name), 4);
        else field = name;
        field.resize(8, '\0');
        p.symbolNames.push_back(field);
    }
    std::string size;
    Put(size, p.strings.bytes.size(), 4);
    p.strings.bytes.replace(0, 4, size);
    p.symbolCount = layout.symbols.size() + (layout.target->safeSeh ? 1 : 0);
    p.symbolsOffset = kCoffDataOffset + layout.sectionSize;
    p.end = p.symbolsOffset + p.symbolCount * kCoffSymbolBytes + p.strings.bytes.size();
    return p;
}

std::string CoffPrologue(const ObjectLayout& layout, const CoffPlan& p) {
    std::string out;
    Put(out, layout.target->machine, 2);
    Put(out, 1, 2);  // sections
    Put(out, 0, 4);  // time stamp: none, so that the same input makes the same object
    Put(out, p.symbolsOffset, 4);
    Put(out, p.symbolCount, 4);
    Put(out, 0, 2);  // no optional header in an object
    Put(out, 0, 2);  // characteristics
    out += p.sectionName;
    Put(out, 0, 4);  // virtual size and address: none before linking
    Put(out, 0, 4);
    Put(out, layout.sectionSize, 4);
    Put(out, kCoffDataOffset, 4);
    out.append(12, '\0');  // no relocations or line numbers, nor their counts
    // The alignment is its logarithm plus one, in bits 20 to 23.
    Put(out, layout.target->sectionFlags | (std::countr_zero(layout.alignment) + 1u) << 20, 4);
    return out;
}

std::string CoffEpilogue(const ObjectLayout& layout, const CoffPlan& p) {
    std::string out;
    const auto symbol = [&out](std::string_view name, std::uint64_t value, std::uint16_t section,
                               std::uint8_t storage) {
        out += name;
        Put(out, value, 4);
        Put(out, section, 2);
        Put(out, 0, 2);  // type: not a function
        Put(out, storage, 1);
        Put(out, 0, 1);  // no auxiliary records
    };
    // An absolute static symbol whose bit 0 says the object holds no code
    // that could break safe exception handling.
    if (layout.target->safeSeh) symbol("@feat.00", 1, 0xFFFF, 3);
    for (std::size_t i = 0; i < layout.symbols.size(); ++i)
        symbol(p.symbolNames[i], layout.symbols[i].offset, 1, 2);  // external, in section 1
    out += p.strings.bytes;
    return out;
}

// Mach-O (64-bit): the header, the load commands, the data, the symbols,
// the strings. An object has one segment without a name that holds every
// section, whatever segment each section names.
constexpr unsigned kMachHeaderBytes = 32, kMachSegmentBytes = 72 + 80, kMachBuildVersionBytes = 24,
                   kMachSymtabBytes = 24, kMachDysymtabBytes = 80, kMachSymbolBytes = 16;
constexpr unsigned kMachCommandsBytes =
    kMachSegmentBytes + kMachBuildVersionBytes + kMachSymtabBytes + kMachDysymtabBytes;
constexpr std::uint64_t kMachDataOffset = kMachHeaderBytes + kMachCommandsBytes;

struct MachPlan {
    std::vector<std::size_t> order;  // the symbols sorted by name, as the linkers expect them
    std::vector<std::uint32_t> symbolNames;
    StringTable strings;
    std::uint64_t dataEnd, symbolsOffset, stringsOffset, end;
};

MachPlan PlanMachO(const ObjectLayout& layout) {
    MachPlan p{};
    p.order.resize(layout.symbols.size());
    std::iota(p.order.begin(), p.order.end(), std::size_t{0});
    std::sort(p.order.begin(), p.order.end(),
              [&](std::size_t a, std::size_t b) { return layout.symbols[a].name < layout.symbols[b].name; });
    p.strings.Add("");  // offset 0 means no name
    for (std::size_t i : p.order) p.symbolNames.push_back(p.strings.Add(Decorated(layout, layout.symbols[i])));
    p.strings.bytes.resize(AlignUp(p.strings.bytes.size(), layout.target->wordBytes), '\0');
    p.dataEnd = kMachDataOffset + layout.sectionSize;
    p.symbolsOffset = AlignUp(p.dataEnd, layout.target->wordBytes);
    p.stringsOffset = p.symbolsOffset + layout.symbols.size() * kMachSymbolBytes;
    p.end = p.stringsOffset + p.strings.bytes.size();
    return p;
}

std::string MachOPrologue(const ObjectLayout& layout, const MachPlan& p) {
    const std::string_view name = SectionOf(layout), segment = name.substr(0, name.find(','));
    const std::string_view section = name.substr(segment.size() + 1);
    const std::uint64_t symbols = layout.symbols.size();
    std::string out;
    Put(out, 0xFEEDFACF, 4);  // 64-bit
    Put(out, layout.target->machine, 4);
    Put(out, layout.target->machineFlags, 4);
    Put(out, 1, 4);  // MH_OBJECT
    Put(out, 4, 4);  // load commands
    Put(out, kMachCommandsBytes, 4);
    Put(out, 0, 4);  // flags: the section is one piece, never split at its symbols
    Put(out, 0, 4);
    Put(out, 0x19, 4);  // LC_SEGMENT_64
    Put(out, kMachSegmentBytes, 4);
    PutField(out, "", 16);
    Put(out, 0, 8);  // address
    Put(out, layout.sectionSize, 8);
    Put(out, kMachDataOffset, 8);
    Put(out, layout.sectionSize, 8);
    Put(out, 7, 4);  // protections as the assemblers write them: all
    Put(out, 7, 4);
    Put(out, 1, 4);  // sections
    Put(out, 0, 4);
    PutField(out, section, 16);
    PutField(out, segment, 16);
    Put(out, 0, 8);  // address
    Put(out, layout.sectionSize, 8);
    Put(out, kMachDataOffset, 4);
    Put(out, std::countr_zero(layout.alignment), 4);  // as a power of two
    Put(out, 0, 4);                                   // no relocations
    Put(out, 0, 4);
    Put(out, layout.target->sectionFlags, 4);
    out.append(12, '\0');
    // The platform, so that the linker need not guess it; minimum system
    // and SDK versions 0 ask nothing of the program it is linked into.
    Put(out, 0x32, 4);  // LC_BUILD_VERSION
    Put(out, kMachBuildVersionBytes, 4);
    Put(out, 1, 4);  // macOS
    Put(out, 0, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);    // no tools listed
    Put(out, 0x2, 4);  // LC_SYMTAB
    Put(out, kMachSymtabBytes, 4);
    Put(out, p.symbolsOffset, 4);
    Put(out, symbols, 4);
    Put(out, p.stringsOffset, 4);
    Put(out, p.strings.bytes.size(), 4);
    // The symbols in three runs: local, defined external, undefined. All of
    // these are defined external.
    Put(out, 0xB, 4);  // LC_DYSYMTAB
    Put(out, kMachDysymtabBytes, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    Put(out, symbols, 4);
    Put(out, symbols, 4);
    Put(out, 0, 4);
    out.append(kMachDysymtabBytes - 32, '\0');  // no tables of contents, modules, references or relocations
    return out;
}

std::string MachOEpilogue(const ObjectLayout& layout, const MachPlan& p) {
    std::string out(p.symbolsOffset - p.dataEnd, '\0');
    for (std::size_t i = 0; i < p.order.size(); ++i) {
        Put(out, p.symbolNames[i], 4);
        Put(out, 0x0F, 1);  // N_SECT | N_EXT: defined in a section, external
        Put(out, 1, 1);     // section 1
        Put(out, 0, 2);
        Put(out, layout.symbols[p.order[i]].offset, 8);  // an address: the section's is 0
    }
    out += p.strings.bytes;
    return out;
}

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
           c == '$';
}

std::uint64_t FileSize(const ObjectLayout& layout) {
    switch (layout.target->format) {
    case ObjectFormat::Elf: return PlanElf(layout).end;
    case ObjectFormat::Coff: return PlanCoff(layout).end;
    case ObjectFormat::MachO: return PlanMachO(layout).end;
    }
    return 0;
}

}  // namespace

const ObjectTarget* ObjectTargetNamed(std::string_view name) {
    for (const ObjectTarget& target : kTargets)
        if (target.name == name) return &target;
    return nullptr;
}

const ObjectTarget* HostObjectTarget() { return ObjectTargetNamed(kHostTarget); }

std::string_view ObjectTargetNames() {
    static const std::string names = [] {
        std::string list;
        for (const ObjectTarget& target : kTargets) list.append(list.empty() ? "" : ", ").append(target.name);
        return list;
    }();
    return names;
}

std::string WhyNotASectionName(std::string_view name, const ObjectTarget& target) {
    const bool machO = target.format == ObjectFormat::MachO;
    if (name.empty()) return "is empty";
    if (!std::all_of(name.begin(), name.end(), [machO](char c) { return IsNameCharacter(c) || (machO && c == ','); }))
        return "holds a character other than letters, digits, '_', '.' and '$'";
    if (machO) {
        const auto comma = name.find(',');
        if (comma == 0 || comma == std::string_view::npos || comma + 1 == name.size() ||
            name.find(',', comma + 1) != std::string_view::npos)
            return "is not a segment and a section name with a comma between them";
        if (comma > 16 || name.size() - comma - 1 > 16) return "has a segment or section name longer than 16 bytes";
    }
    // Names the object's own tables use, or (.drectve) that the linker
    // reads as its command line.
    const std::string_view taken[] = {".symtab", ".strtab", ".shstrtab", ".note.GNU-stack"};
    if ((target.format == ObjectFormat::Elf &&
         std::find(std::begin(taken), std::end(taken), name) != std::end(taken)) ||
        (target.format == ObjectFormat::Coff && name == ".drectve"))
        return "is a name the object file's own tables take";
    return {};
}

std::string WhyNotALayout(const ObjectLayout& layout) {
    const ObjectTarget& target = *layout.target;
    const std::string_view section = SectionOf(layout);
    if (auto why = WhyNotASectionName(section, target); !why.empty())
        return "the section name '" + std::string(section) + "' " + why;
    if (!std::has_single_bit(layout.alignment) || layout.alignment > kMaxAlignment)
        return "the alignment is not a power of two from 1 to 4096";
    std::set<std::string_view> names;
    for (const ObjectSymbol& symbol : layout.symbols) {
        if (symbol.name.empty() || symbol.name.find('\0') != std::string::npos)
            return "a symbol has an empty name or one with a zero byte";
        if (!names.insert(symbol.name).second) return "the symbol '" + symbol.name + "' is defined twice";
        if (symbol.offset > layout.sectionSize || symbol.size > layout.sectionSize - symbol.offset)
            return "the symbol '" + symbol.name + "' reaches past the end of the section";
    }
    // Only ELF's 64-bit class has 64-bit file offsets.
    const std::uint64_t limit = target.format == ObjectFormat::Elf && target.wordBytes == 8
                                    ? std::numeric_limits<std::int64_t>::max()
                                    : std::numeric_limits<std::uint32_t>::max();
    if (layout.sectionSize > limit || FileSize(layout) > limit)
        return "the object would be larger than " + std::string(target.name) + " objects can be";
    return {};
}

std::string ObjectPrologue(const ObjectLayout& layout) {
    switch (layout.target->format) {
    case ObjectFormat::Elf: return ElfPrologue(layout, PlanElf(layout));
    case ObjectFormat::Coff: return CoffPrologue(layout, PlanCoff(layout));
    case ObjectFormat::MachO: return MachOPrologue(layout, PlanMachO(layout));
    }
    return {};
}

std::string ObjectEpilogue(const ObjectLayout& layout) {
    switch (layout.target->format) {
    case ObjectFormat::Elf: return ElfEpilogue(layout, PlanElf(layout));
    case ObjectFormat::Coff: return CoffEpilogue(layout, PlanCoff(layout));
    case ObjectFormat::MachO: return MachOEpilogue(layout, PlanMachO(layout));
    }
    return {};
}
