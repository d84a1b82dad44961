#pragma once

// Relocatable object files that hold one section of read-only data and
// global symbols in it, for the linkers of ELF, COFF and Mach-O platforms.
// An object is written in three parts, so that the data streams through
// and memory does not grow with the input: ObjectPrologue, then exactly
// `sectionSize` bytes of the section as they come, then ObjectEpilogue.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ObjectFormat { Elf, Coff, MachO };

// One target: a row of the table in ObjectFile.cpp. All are little-endian.
struct ObjectTarget {
    std::string_view name;  // as `objcopy -O` spells it
    ObjectFormat format;
    unsigned wordBytes;             // 4 or 8: the machine's pointers; ELF's class, the alignment of Mach-O's tables
    std::uint32_t machine;          // ELF e_machine, COFF Machine, Mach-O cputype
    std::uint32_t machineFlags;     // ELF e_flags, Mach-O cpusubtype
    std::string_view symbolPrefix;  // what the platform's C compilers put before a name
    std::string_view section;       // the read-only data section (Mach-O: "segment,section")
    std::uint32_t sectionFlags;     // ELF sh_flags, COFF Characteristics (alignment apart), Mach-O flags
    bool safeSeh;                   // COFF: carries @feat.00, which /SAFESEH links ask of every object
};

const ObjectTarget* ObjectTargetNamed(std::string_view name);  // null for an unknown name
// The machine and system the program was built for; null on one the table lacks.
const ObjectTarget* HostObjectTarget();
std::string_view ObjectTargetNames();  // for a usage message: "elf64-x86-64, ..."

struct ObjectSymbol {
    std::string name;  // as C spells it: the writer adds the target's prefix
    std::uint64_t offset;
    std::uint64_t size;
};

struct ObjectLayout {
    const ObjectTarget* target;
    std::string section;                // empty: the target's read-only data section
    std::uint32_t alignment;            // of the section: a power of two, 1 to 4096
    std::uint64_t sectionSize;          // the bytes that come between prologue and epilogue
    std::vector<ObjectSymbol> symbols;  // global data symbols defined in the section
};

// Why `name` cannot name a section of objects for `target`, or empty.
std::string WhyNotASectionName(std::string_view name, const ObjectTarget& target);
// Why no object can be written for `layout`, or empty: a section name the
// target cannot take, an alignment out of range, a symbol without a name,
// twice or out of the section, or a file larger than the format's offsets
// reach. Prologue and epilogue expect a layout it accepts.
std::string WhyNotALayout(const ObjectLayout& layout);

std::string ObjectPrologue(const ObjectLayout& layout);
std::string ObjectEpilogue(const ObjectLayout& layout);
