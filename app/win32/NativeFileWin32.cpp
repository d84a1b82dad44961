// CFile's system half on Windows.

#include <windows.h>

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

}  // namespace

std::optional<FileError> Open(std::string_view path, OpenMode mode, Opened& result) {
    std::string given(path);
    DWORD access = GENERIC_READ;
    DWORD share = 0;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
    case OpenMode::Probe: break;
    case OpenMode::Input: share = FILE_SHARE_READ; break;
    case OpenMode::Output:
        access = GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
        break;
    }
    NativeFile file(reinterpret_cast<NativeFileTraits::Type>(::CreateFileA(
        given.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file) {
        DWORD error = ::GetLastError();
        return FileError{CauseFromWindowsError(error), static_cast<std::int32_t>(error), given};
    }
    result.handle = std::move(file);
    result.fullPath = NameAsStored(FullPathOf(path));
    return std::nullopt;
}

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

std::string_view LastComponent(std::string_view fullPath) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < fullPath.size(); i += cp932::CharLength(fullPath, i)) {
        char c = fullPath[i];
        if (c == '\\' || c == '/' || c == ':') start = i + 1;
    }
    return fullPath.substr(start);
}

}  // namespace native_file
