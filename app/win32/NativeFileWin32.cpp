// CFile's system half on Windows.

#include <windows.h>

#include <cstdio>

#include "app/CodePage932.h"
#include "app/File.h"
#include "app/NativeFile.h"

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
    if (root.empty() ||
        !::GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
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
    return static_cast<std::int64_t>(ticks.QuadPart / kTicksPerSecond) -
           static_cast<std::int64_t>(kEpochOffsetSeconds);
}

FileError Failure(DWORD error, const std::string& path) {
    return FileError{CauseFromWindowsError(error), static_cast<std::int32_t>(error), path};
}

std::optional<FileError> OpenOutput(const std::string& given, Opened& result) {
    const DWORD attributes = ::GetFileAttributesA(given.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return Failure(ERROR_ACCESS_DENIED, given);
    // A file already there (or a device such as NUL) is opened for writing
    // with no sharing, as the output itself would be: one we may not write,
    // or one in use (the input above all), is refused before anything is
    // written, and nobody else may open it until the new one takes its place.
    NativeFile target(reinterpret_cast<NativeFileTraits::Type>(
        ::CreateFileA(given.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!target) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) return Failure(error, given);
    } else if (::GetFileType(AsHandle(target.Get())) != FILE_TYPE_DISK) {
        // A device or a pipe cannot be replaced: it is written directly.
        result.handle = std::move(target);
        result.fullPath = FullPathOf(given);
        return std::nullopt;
    }
    // The temporary file: new (CREATE_NEW never truncates), beside the output.
    const std::string directory = given.substr(0, given.size() - LastComponent(given).size());
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "~arrayforge-%08lx.tmp",
                      static_cast<unsigned long>(::GetCurrentProcessId() * 2654435761u ^ ++counter * 40503u ^
                                                 ::GetTickCount()));
        std::string temporaryPath = directory + name;
        NativeFile file(reinterpret_cast<NativeFileTraits::Type>(::CreateFileA(
            temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!file) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return Failure(error, given);
        }
        RememberTemporary(temporaryPath);
        result.handle = std::move(file);
        result.temporaryPath = std::move(temporaryPath);
        result.target = std::move(target);
        result.fullPath = NameAsStored(FullPathOf(given));
        return std::nullopt;
    }
    return Failure(ERROR_FILE_EXISTS, given);
}

}  // namespace

std::string FullPath(std::string_view path) { return FullPathOf(path); }

bool Exists(std::string_view path) {
    const DWORD attributes = ::GetFileAttributesA(std::string(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<FileError> Open(std::string_view path, OpenMode mode, Opened& result) {
    const std::string given(path);
    if (mode == OpenMode::Output) return OpenOutput(given, result);
    // Others may read, but nobody may write meanwhile.
    NativeFile file(reinterpret_cast<NativeFileTraits::Type>(::CreateFileA(
        given.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file) return Failure(::GetLastError(), given);
    result.handle = std::move(file);
    result.fullPath = NameAsStored(FullPathOf(path));
    return std::nullopt;
}

std::int32_t Commit(Opened& output, std::string_view path, bool replace) {
    if (output.temporaryPath.empty()) return 0;
    // Our own hold on the old file would make the move fail: it goes first.
    output.target.Reset();
    const std::string destination(path);
    std::int32_t error = 0;
    if (!::MoveFileExA(output.temporaryPath.c_str(), destination.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
        error = static_cast<std::int32_t>(::GetLastError());
        ::DeleteFileA(output.temporaryPath.c_str());
    }
    ForgetTemporary(output.temporaryPath);
    output.temporaryPath.clear();
    return error;
}

void RemoveFileNow(const char* path) noexcept { ::DeleteFileA(path); }

NativeFileTraits::Type StandardOutput() {
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    return out == nullptr || out == INVALID_HANDLE_VALUE ? NativeFileTraits::Invalid()
                                                          : reinterpret_cast<NativeFileTraits::Type>(out);
}

std::size_t Read(NativeFileTraits::Type handle, void* buffer, std::size_t count, std::int32_t& error) {
    DWORD got = 0;
    if (!::ReadFile(AsHandle(handle), buffer, static_cast<DWORD>(count), &got, nullptr)) {
        DWORD code = ::GetLastError();
        if (code == ERROR_BROKEN_PIPE) return 0;  // the writing end of a pipe has closed: end of data
        error = static_cast<std::int32_t>(code);
        return 0;
    }
    return got;
}

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
void Reserve(NativeFileTraits::Type, std::uint64_t) noexcept {}

std::int32_t Close(NativeFileTraits::Type handle) {
    return ::CloseHandle(AsHandle(handle)) ? 0 : static_cast<std::int32_t>(::GetLastError());
}

std::uint64_t Length(NativeFileTraits::Type handle, std::int32_t& error) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(AsHandle(handle), &size)) {
        error = static_cast<std::int32_t>(::GetLastError());
        return 0;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

bool Status(NativeFileTraits::Type handle, FileStatus& status, std::int32_t& error) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(AsHandle(handle), &info)) {
        error = static_cast<std::int32_t>(::GetLastError());
        return false;
    }
    status.creationTime = UnixTime(info.ftCreationTime);
    status.lastWriteTime = UnixTime(info.ftLastWriteTime);
    status.lastAccessTime = UnixTime(info.ftLastAccessTime);
    status.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    status.attributes = info.dwFileAttributes;
    return true;
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
