#pragma once

// What the POSIX halves of the file layer share.

#include <signal.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/NativeFile.h"

namespace native_file {

// The failure of an open, its cause refined: a missing file is "not found"
// only where its folder exists; an output is created when missing, so its
// ENOENT always means a missing folder.
FileError OpenFailure(int error, std::string_view path, const std::string& fullPath, OpenMode mode);

// The descriptor that "/dev/stdout", "/dev/stderr", "/dev/fd/N" or
// "/proc/self/fd/N" names, if `path` is one of those: written to by name,
// what it points at would be replaced where the caller only meant to
// append to it.
std::optional<int> NamedDescriptor(const std::string& path);

// A new, empty file without a name in `folder`, open for reading and
// writing: it goes when its last descriptor closes. Where the file system
// cannot make one, a file made under a name of its own is unlinked at once.
// Returns the errno on failure.
int CreateUnnamedFile(const std::string& folder, NativeFile& file);

std::optional<FileError> OpenOutput(const std::string& given, bool replace, Opened& result);

// While one lives, the signals that end the program wait: a file made and
// entered in the interruption table in its lifetime is never left behind.
class BlockInterruptions {
public:
    BlockInterruptions() noexcept;
    ~BlockInterruptions();
    BlockInterruptions(const BlockInterruptions&) = delete;
    BlockInterruptions& operator=(const BlockInterruptions&) = delete;

private:
    sigset_t m_previous;
};

}  // namespace native_file
