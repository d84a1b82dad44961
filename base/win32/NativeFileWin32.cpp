// CFile's system half on Windows.

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "base/CodePage932.h"
#include "base/File.h"
#include "base/NativeFile.h"

namespace {

struct CauseCodes {
    FileErrorCause cause;
    std::initializer_list<std::uint32_t> codes;
};

// Windows error codes grouped by the cause the program reports for them.
const std::array<CauseCodes, 5> kWindowsCodes{{
    {FileErrorCause::FileNotFound, {2, 6, 18, 107}},
    {FileErrorCause::BadPath,
     {3, 15, 17, 34, 52, 53, 55, 67, 70, 85, 111, 123, 124, 125, 144, 154, 161, 206, 208, 267}},
    {FileErrorCause::AccessDenied, {5, 12, 19, 29, 54, 58, 64, 65, 71, 80, 82, 86, 170, 183, 999}},
    {FileErrorCause::SharingViolation, {32}},
    {FileErrorCause::DiskFull, {39, 112}},
}};

}  // namespace

FileErrorCause CauseFromWindowsError(std::uint32_t code) {
    if (code == 0) return FileErrorCause::None;
    for (const auto& group : kWindowsCodes) {
        if (std::find(group.codes.begin(), group.codes.end(), code) != group.codes.end()) return group.cause;
    }
    return FileErrorCause::Generic;
}

void NativeFileTraits::Close(Type handle) noexcept { ::CloseHandle(reinterpret_cast<HANDLE>(handle)); }

namespace native_file {
namespace {

HANDLE AsHandle(NativeFileTraits::Type handle) { return reinterpret_cast<HANDLE>(handle); }

std::string FullPathOf(std::string_view path) {
    std::string given(path);
    char buffer[MAX_PATH];
    char* filePart = nullptr;
    // The return value is the length without the terminating zero when the
    // path fitted, or the size needed (terminator included) when it did not.
    DWORD length = ::GetFullPathNameA(given.c_str(), MAX_PATH, buffer, &filePart);
    if (length == 0) return given;
    if (length < MAX_PATH) return std::string(buffer, length);
    std::string full(length, '\0');
    length = ::GetFullPathNameA(given.c_str(), static_cast<DWORD>(full.size()), full.data(), &filePart);
    full.resize(length);
    return full;
}

// The root of the volume holding `fullPath` ("C:\" or "\\server\share\"), or empty.
std::string VolumeRoot(const std::string& fullPath) {
    if (fullPath.size() >= 3 && fullPath[1] == ':') return fullPath.substr(0, 3);
    if (fullPath.rfind("\\\\", 0) == 0) {
        auto share = fullPath.find('\\', 2);
        if (share == std::string::npos) return {};
        auto end = fullPath.find('\\', share + 1);
        return end == std::string::npos ? fullPath + '\\' : fullPath.substr(0, end + 1);
    }
    return {};
}

// Records the name the way the volume keeps it: upper case where the volume
// does not preserve case, the stored short name where it does not store
// names in Unicode.
std::string NameAsStored(std::string fullPath) {
    std::string root = VolumeRoot(fullPath);
    DWORD flags = 0;
    if (root.empty() || !::GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
        return fullPath;
    if (!(flags & FILE_CASE_PRESERVED_NAMES)) ::CharUpperBuffA(fullPath.data(), static_cast<DWORD>(fullPath.size()));
    if (!(flags & FILE_UNICODE_ON_DISK)) {
        WIN32_FIND_DATAA found{};
        HANDLE search = ::FindFirstFileA(fullPath.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            ::FindClose(search);
            std::string_view last = LastComponent(fullPath);
            fullPath.resize(fullPath.size() - last.size());
            fullPath += found.cFileName;
        }
    }
    return fullPath;
}

std::int64_t UnixTime(const FILETIME& time) {
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    if (ticks.QuadPart == 0) return 0;
    constexpr std::uint64_t kTicksPerSecond = 10000000;
    constexpr std::uint64_t kEpochOffsetSeconds = 11644473600;  // 1601-01-01 to 1970-01-01
    return static_cast<std::int64_t>(ticks.QuadPart / kTicksPerSecond) - static_cast<std::int64_t>(kEpochOffsetSeconds);
}

FileError Failure(DWORD error, const std::string& path) {
    return FileError{CauseFromWindowsError(error), static_cast<std::int32_t>(error), path};
}

// Creates a new file beside `path` (CREATE_NEW never truncates) for the
// text of the output, entered in the interruption table. Others may delete
// it meanwhile: an interruption or the end of the session removes it while
// it is still open.
NativeFile CreateTemporary(const std::string& folder, std::string& temporaryPath, DWORD& error) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(
            name, sizeof name, "~arrayforge-%08lx.tmp",
            static_cast<unsigned long>(::GetCurrentProcessId() * 2654435761u ^ ++counter * 40503u ^ ::GetTickCount()));
        temporaryPath = folder + name;
        NativeFile file(reinterpret_cast<NativeFileTraits::Type>(
            ::CreateFileA(temporaryPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (file) {
            RememberTemporary(temporaryPath);
            return file;
        }
        error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    temporaryPath.clear();
    return {};
}

NativeFile OpenTarget(const std::string& path) {
    return NativeFile(reinterpret_cast<NativeFileTraits::Type>(
        ::CreateFileA(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr)));
}

}  // namespace

struct Replacement {
    std::string path;           // the output, as given
    NativeFile target;          // the file there at the open, held with no sharing; none for a new output
    std::string temporaryPath;  // the complete text, until it is in place
    bool inPlace = false;       // `target` is rewritten rather than replaced
    bool replace = false;       // a file that appears meanwhile may be replaced
};

void ReplacementDeleter::operator()(Replacement* replacement) const noexcept {
    if (!replacement->temporaryPath.empty()) {
        replacement->target.Reset();
        ::DeleteFileA(replacement->temporaryPath.c_str());
        ForgetTemporary(replacement->temporaryPath);
    }
    delete replacement;
}

namespace {

std::optional<FileError> OpenOutput(const std::string& given, bool replace, Opened& result) {
    const DWORD attributes = ::GetFileAttributesA(given.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return Failure(ERROR_ACCESS_DENIED, given);
    // A file already there (or a device such as NUL) is opened for writing
    // with no sharing, as the output itself would be: one we may not write,
    // or one in use (the input above all), is refused before anything is
    // written, and nobody else may open it until the new one takes its place.
    auto replacement = PendingReplacement(new Replacement);
    replacement->path = given;
    replacement->replace = replace;
    NativeFile target = OpenTarget(given);
    if (!target) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) return Failure(error, given);
    } else if (::GetFileType(AsHandle(target.Get())) != FILE_TYPE_DISK) {
        // A device or a pipe cannot be replaced: it is written directly.
        result.handle = std::move(target);
        result.fullPath = FullPathOf(given);
        return std::nullopt;
    } else if (!replace) {
        return Failure(ERROR_FILE_EXISTS, given);
    } else {
        // A replacement splits hard links and turns a link into a file:
        // those are rewritten in place.
        BY_HANDLE_FILE_INFORMATION info{};
        replacement->inPlace = !::GetFileInformationByHandle(AsHandle(target.Get()), &info) ||
                               info.nNumberOfLinks > 1 || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }
    replacement->target = std::move(target);
    DWORD error = 0;
    NativeFile file =
        CreateTemporary(given.substr(0, given.size() - LastComponent(given).size()), replacement->temporaryPath, error);
    if (!file && replacement->target) {
        // No new file may be made beside it: the text waits in the folder
        // for temporary files, and the file is rewritten in place.
        char folder[MAX_PATH + 1];
        if (::GetTempPathA(sizeof folder, folder) != 0) {
            replacement->inPlace = true;
            file = CreateTemporary(folder, replacement->temporaryPath, error);
        }
    }
    if (!file) return Failure(error, given);
    result.handle = std::move(file);
    result.fullPath = NameAsStored(FullPathOf(given));
    result.replacement = std::move(replacement);
    return std::nullopt;
}

// Copies bytes `from` to `to` of `source` into the same place of `target`.
DWORD CopyRange(HANDLE source, HANDLE target, std::uint64_t from, std::uint64_t to) {
    std::vector<char> buffer(1 << 20);
    while (from < to) {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(from);
        if (!::SetFilePointerEx(source, at, nullptr, FILE_BEGIN) ||
            !::SetFilePointerEx(target, at, nullptr, FILE_BEGIN))
            return ::GetLastError();
        DWORD got = 0;
        const auto want = static_cast<DWORD>(std::min<std::uint64_t>(to - from, buffer.size()));
        if (!::ReadFile(source, buffer.data(), want, &got, nullptr)) return ::GetLastError();
        if (got == 0) return ERROR_HANDLE_EOF;
        if (auto error = WriteAll(reinterpret_cast<NativeFileTraits::Type>(target), buffer.data(), got))
            return static_cast<DWORD>(error);
        from += got;
    }
    return 0;
}

DWORD SetLength(HANDLE file, std::uint64_t length) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(length);
    return ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ::SetEndOfFile(file) ? 0 : ::GetLastError();
}

// The target rewritten from the temporary. The part past its old end comes
// first: if even that finds the disk full, the old length is restored and
// nothing of the old text has changed.
DWORD RewriteInPlace(Replacement& replacement) {
    if (!replacement.target) replacement.target = OpenTarget(replacement.path);
    if (!replacement.target) return ::GetLastError();
    const NativeFile source(reinterpret_cast<NativeFileTraits::Type>(
        ::CreateFileA(replacement.temporaryPath.c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!source) return ::GetLastError();
    HANDLE target = AsHandle(replacement.target.Get());
    std::uint64_t now = 0, old = 0;
    if (auto error = Length(source.Get(), now)) return static_cast<DWORD>(error);
    if (auto error = Length(replacement.target.Get(), old)) return static_cast<DWORD>(error);
    if (now > old) {
        if (DWORD failure = CopyRange(AsHandle(source.Get()), target, old, now)) {
            SetLength(target, old);
            return failure;
        }
    }
    if (DWORD failure = CopyRange(AsHandle(source.Get()), target, 0, std::min(now, old))) return failure;
    return SetLength(target, now);
}

}  // namespace

std::string FullPath(std::string_view path) { return FullPathOf(path); }

bool WouldReplace(std::string_view path) {
    const DWORD attributes = ::GetFileAttributesA(std::string(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<FileError> Open(std::string_view path, OpenMode mode, bool replaceExisting, Opened& result) {
    const std::string given(path);
    if (mode == OpenMode::Output) return OpenOutput(given, replaceExisting, result);
    // Others may read, but nobody may write meanwhile.
    NativeFile file(reinterpret_cast<NativeFileTraits::Type>(::CreateFileA(
        given.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file) return Failure(::GetLastError(), given);
    result.handle = std::move(file);
    result.fullPath = NameAsStored(FullPathOf(path));
    return std::nullopt;
}

std::int32_t Prepare(Replacement&) { return 0; }

std::int32_t Commit(Replacement& replacement) {
    const char* temporary = replacement.temporaryPath.c_str();
    const char* path = replacement.path.c_str();
    if (!replacement.inPlace && !replacement.target) {
        if (!::MoveFileExA(temporary, path, replacement.replace ? MOVEFILE_REPLACE_EXISTING : 0))
            return static_cast<std::int32_t>(::GetLastError());
    } else if (!replacement.inPlace) {
        // ReplaceFileA keeps the replaced file's attributes, ACL and creation
        // time; it opens that file itself, so our hold on it goes first.
        replacement.target.Reset();
        if (!::ReplaceFileA(path, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            const DWORD error = ::GetLastError();
            // The old file is gone and the new one kept its own name: it is
            // moved into place. Any other refusal changed nothing: the file
            // is rewritten in place.
            if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
                if (!::MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING))
                    return static_cast<std::int32_t>(::GetLastError());
            } else {
                replacement.inPlace = true;
            }
        }
    }
    if (replacement.inPlace) {
        if (DWORD error = RewriteInPlace(replacement)) return static_cast<std::int32_t>(error);
        replacement.target.Reset();
        ::DeleteFileA(temporary);
    }
    ForgetTemporary(replacement.temporaryPath);
    replacement.temporaryPath.clear();
    return 0;
}

void RemoveFileNow(const char* path) noexcept { ::DeleteFileA(path); }

NativeFileTraits::Type StandardOutput(std::int32_t& error) {
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE) return reinterpret_cast<NativeFileTraits::Type>(out);
    error = ERROR_INVALID_HANDLE;
    return NativeFileTraits::Invalid();
}

std::int32_t Read(NativeFileTraits::Type handle, void* buffer, std::size_t count, std::size_t& got) {
    DWORD done = 0;
    if (!::ReadFile(AsHandle(handle), buffer, static_cast<DWORD>(count), &done, nullptr)) {
        const DWORD code = ::GetLastError();
        // The writing end of a pipe has closed: the end of the data.
        if (code != ERROR_BROKEN_PIPE) return static_cast<std::int32_t>(code);
    }
    got = done;
    return 0;
}

// Windows has no copy between two open files: the caller reads and writes.
std::int32_t Copy(NativeFileTraits::Type, NativeFileTraits::Type, std::size_t, std::size_t&) { return kCannotCopy; }

std::int32_t WriteAll(NativeFileTraits::Type handle, const char* bytes, std::size_t count) {
    while (count > 0) {
        DWORD done = 0;
        if (!::WriteFile(AsHandle(handle), bytes, static_cast<DWORD>(count), &done, nullptr))
            return static_cast<std::int32_t>(::GetLastError());
        // WriteFile may succeed having taken only part of a large block on a
        // nearly full volume; no progress at all means the disk is full.
        if (done == 0) return ERROR_DISK_FULL;
        bytes += done;
        count -= done;
    }
    return 0;
}

// Windows allocates as it goes (FileAllocationInfo does nothing under Wine).
std::int32_t Reserve(NativeFileTraits::Type, std::uint64_t) noexcept { return 0; }

std::int32_t Close(NativeFileTraits::Type handle) {
    return ::CloseHandle(AsHandle(handle)) ? 0 : static_cast<std::int32_t>(::GetLastError());
}

std::int32_t Length(NativeFileTraits::Type handle, std::uint64_t& length) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(AsHandle(handle), &size)) return static_cast<std::int32_t>(::GetLastError());
    length = static_cast<std::uint64_t>(size.QuadPart);
    return 0;
}

std::int32_t Status(NativeFileTraits::Type handle, FileStatus& status) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(AsHandle(handle), &info)) return static_cast<std::int32_t>(::GetLastError());
    status.creationTime = UnixTime(info.ftCreationTime);
    status.lastWriteTime = UnixTime(info.ftLastWriteTime);
    return 0;
}

FileErrorCause CauseOf(std::int32_t systemCode) {
    return CauseFromWindowsError(static_cast<std::uint32_t>(systemCode));
}

std::string Describe(std::int32_t systemCode) {
    char text[512] = {};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                    static_cast<DWORD>(systemCode), 0, text, sizeof text, nullptr);
    // The system's text ends in a line break.
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
    return std::string(text, length);
}

std::string_view LastComponent(std::string_view fullPath) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < fullPath.size(); i += cp932::CharLength(fullPath, i)) {
        char c = fullPath[i];
        if (c == '\\' || c == '/' || c == ':') start = i + 1;
    }
    return fullPath.substr(start);
}

}  // namespace native_file
