#pragma once

// The operating-system half of CFile. Each platform implements these in its
// own folder (base/win32, base/posix); nothing here needs a system header.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/FileError.h"
#include "base/UniqueHandle.h"

enum class OpenMode;
struct FileStatus;

struct NativeFileTraits {
    using Type = std::intptr_t;  // a HANDLE on Windows, a descriptor elsewhere
    static Type Invalid() noexcept { return -1; }
    static void Close(Type handle) noexcept;
};
using NativeFile = UniqueHandle<NativeFileTraits>;

namespace native_file {

// How an output written to a temporary takes the place of the file it names
// once it is complete; each system defines it (base/posix, base/win32).
// Destroying one gives the output up: its temporary goes, and the file it
// was to replace stays as it was.
struct Replacement;
struct ReplacementDeleter {
    void operator()(Replacement* replacement) const noexcept;
};
using PendingReplacement = std::unique_ptr<Replacement, ReplacementDeleter>;

struct Opened {
    NativeFile handle;  // what reads or writes go through: for an output, its temporary
    std::string fullPath;
    // Output only: none where the output is written directly (a device, a
    // pipe, a standard stream named by its path).
    PendingReplacement replacement;
};

// The path as given is opened; the full path is only recorded. On failure
// the FileError carries `path` as given. An output is looked up once, here:
// every later step works on what this open found. `replaceExisting`
// (output only): a file already there may be replaced, else the open fails.
std::optional<FileError> Open(std::string_view path, OpenMode mode, bool replaceExisting, Opened& result);
// Once the temporary is complete and its handle closed: sets aside what the
// commit needs, so that a full disk shows before anything changes. Returns
// 0 or the system error code.
std::int32_t Prepare(Replacement& replacement);
// Puts the complete temporary in the output's place. Returns 0 or the
// system error code; the temporary is gone either way.
std::int32_t Commit(Replacement& replacement);

// OutputWouldReplace (base/File.h): a metadata query that opens nothing, so
// it never waits and needs no right to read.
bool WouldReplace(std::string_view path);
// `path` resolved against the current directory.
std::string FullPath(std::string_view path);

// The process's standard output, or Invalid() with the system error code
// when it cannot be written.
NativeFileTraits::Type StandardOutput(std::int32_t& error);
// Reads at most `count` bytes into `buffer`, `got` of them; 0 at the end.
// These return 0 or the system error code.
std::int32_t Read(NativeFileTraits::Type handle, void* buffer, std::size_t count, std::size_t& got);
// Copies up to `count` bytes from where `from` is read to where `to` is
// written, inside the system, `copied` of them: 0 at the end of `from`.
// Returns 0, kCannotCopy where the system cannot copy between these two, or
// the system error code.
inline constexpr std::int32_t kCannotCopy = -1;
std::int32_t Copy(NativeFileTraits::Type from, NativeFileTraits::Type to, std::size_t count, std::size_t& copied);
// Writes all `count` bytes; a partial write is a failure. Returns 0 or the system error code.
std::int32_t WriteAll(NativeFileTraits::Type handle, const char* bytes, std::size_t count);
// Sets aside room for the first `bytes` of the file, the file's size
// unchanged. Returns 0 where that was done or the system has no way to do
// it; else the system error code (a full disk), nothing set aside.
std::int32_t Reserve(NativeFileTraits::Type handle, std::uint64_t bytes) noexcept;
// Returns 0 or the system error code.
std::int32_t Close(NativeFileTraits::Type handle);
std::int32_t Length(NativeFileTraits::Type handle, std::uint64_t& length);
std::int32_t Status(NativeFileTraits::Type handle, FileStatus& status);
FileErrorCause CauseOf(std::int32_t systemCode);
// The system's own description of an error code, in the system's language.
std::string Describe(std::int32_t systemCode);
// What follows the last path separator of a full path.
std::string_view LastComponent(std::string_view fullPath);

// The temporary files of outputs still being written (base/TemporaryFiles):
// each is remembered from its making to its commit or removal.
void RememberTemporary(const std::string& path);
void ForgetTemporary(const std::string& path);
// Removes them all; safe to call from a signal handler. The front end calls
// it when interrupted.
void RemoveTemporaryFilesNow() noexcept;
// Removes one file by its path, as a signal handler may (the system's half).
void RemoveFileNow(const char* path) noexcept;

}  // namespace native_file
