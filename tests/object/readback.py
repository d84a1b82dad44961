#!/usr/bin/env python3
# Prints what a linked library holds at its exported symbols, one line each:
# the name, the address modulo ALIGNMENT, the bytes in hexadecimal. A Windows
# DLL is read with pefile, a Mach-O library through llvm-nm-19 and llvm-objdump-19.
#   readback.py LIBRARY ALIGNMENT NAME:SIZE...
import subprocess
import sys

library, alignment = sys.argv[1], int(sys.argv[2])
if open(library, "rb").read(2) == b"MZ":
    import pefile
    pe = pefile.PE(library)
    base = pe.OPTIONAL_HEADER.ImageBase
    exports = {e.name.decode(): base + e.address for e in pe.DIRECTORY_ENTRY_EXPORT.symbols}
    read = lambda address, size: pe.get_data(address - base, size)
else:
    def tool(*args):
        return subprocess.run(args, check=True, capture_output=True, text=True).stdout
    # Exported names carry the C compilers' leading underscore.
    exports = {line.split()[2][1:]: int(line.split()[0], 16) for line in tool("llvm-nm-19", "-g", library).splitlines()}
    memory = {}
    for line in tool("llvm-objdump-19", "-s", library).splitlines():
        if line.startswith(" "):  # " ADDRESS HEX HEX HEX HEX  TEXT"
            words = line.strip().split("  ")[0].split()
            for i, byte in enumerate(bytes.fromhex("".join(words[1:]))):
                memory[int(words[0], 16) + i] = byte
    read = lambda address, size: bytes(memory[address + i] for i in range(size))
for name, size in (argument.split(":") for argument in sys.argv[3:]):
    print(name, exports[name] % alignment, *("%02x" % byte for byte in read(exports[name], int(size))))
