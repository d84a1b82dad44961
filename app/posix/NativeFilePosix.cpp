// CFile's system half on POSIX systems. Windows' share modes are imitated
// with flock(2) locks taken without waiting: the probe and the output take an
// exclusive lock, the input a shared one, so that two opens of one file that
// Windows would refuse (the input also named as the output, above all) fail
// here too with a sharing violation, before anything is truncated.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

#include "app/File.h"
#include "app/NativeFile.h"

void NativeFileTraits::Close(Type handle) noexcept { ::close(static_cast<int>(handle)); }

namespace native_file {
namespace {

std::string FullPathOf(std::string_view path) {
    if (!path.empty() && path.front() == '/') return std::string(path);
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) return std::string(path);
    std::string full = cwd;
    if (full.back() != '/') full += '/';
    full += path;
    return full;
}

bool ParentDirectoryExists(const std::string& fullPath) {
    auto slash = fullPath.find_last_of('/');
    std::string parent = slash == 0 ? "/" : fullPath.substr(0, slash);
    struct stat info {};
    return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

FileError OpenFailure(int error, std::string_view path, const std::string& fullPath, OpenMode mode) {
    FileErrorCause cause = CauseFromErrno(error);
    // A missing file is "not found" only where its folder exists; an output
    // is created when missing, so its ENOENT always means a missing folder.
    if (error == ENOENT && (mode == OpenMode::Output || !ParentDirectoryExists(fullPath)))
        cause = FileErrorCause::BadPath;
    return FileError{cause, error, std::string(path)};
}

}  // namespace

std::optional<FileError> Open(std::string_view path, OpenMode mode, Opened& result) {
    std::string fullPath = FullPathOf(path);
    if (path.empty()) return FileError{FileErrorCause::BadPath, ENOENT, {}};

    int flags = (mode == OpenMode::Output ? O_WRONLY | O_CREAT : O_RDONLY) | O_CLOEXEC;
    NativeFile file(::open(fullPath.c_str(), flags, 0666));
    if (!file) return OpenFailure(errno, path, fullPath, mode);
    int fd = static_cast<int>(file.Get());

    struct stat info {};
    if (::fstat(fd, &info) != 0) return OpenFailure(errno, path, fullPath, mode);
    if (S_ISDIR(info.st_mode)) return OpenFailure(EISDIR, path, fullPath, mode);

    int lock = (mode == OpenMode::Input ? LOCK_SH : LOCK_EX) | LOCK_NB;
    if (::flock(fd, lock) != 0) {
        int error = errno;
        // Some file systems know no locks at all; sharing then goes unchecked.
        if (error != EINVAL && error != ENOLCK && error != ENOTSUP)
            return OpenFailure(error, path, fullPath, mode);
    }
    // Truncate only what has content: on ext4, truncating even an empty file
    // makes its close wait until everything written has reached the disk.
    if (mode == OpenMode::Output && S_ISREG(info.st_mode) && info.st_size > 0 && ::ftruncate(fd, 0) != 0)
        return OpenFailure(errno, path, fullPath, mode);

    result.handle = std::move(file);
    result.fullPath = std::move(fullPath);
    return std::nullopt;
}

NativeFileTraits::Type StandardOutput() { return STDOUT_FILENO; }

std::size_t Read(NativeFileTraits::Type handle, void* buffer, std::size_t count, std::int32_t& error) {
    for (;;) {
        ssize_t got = ::read(static_cast<int>(handle), buffer, count);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) {
            error = errno;
            return 0;
        }
    }
}

std::int32_t WriteAll(NativeFileTraits::Type handle, const char* bytes, std::size_t count) {
    while (count > 0) {
        ssize_t done = ::write(static_cast<int>(handle), bytes, count);
        if (done < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (done == 0) return ENOSPC;
        bytes += done;
        count -= static_cast<std::size_t>(done);
    }
    return 0;
}

void Reserve(NativeFileTraits::Type handle, std::uint64_t bytes) noexcept {
#ifdef FALLOC_FL_KEEP_SIZE
    // Allocated past the end, the size untouched: the writes then fill
    // blocks that exist. A file system without fallocate says EOPNOTSUPP;
    // one too full may have allocated part before it said ENOSPC, and that
    // part is given back so that the writes alone decide when the disk is full.
    const int fd = static_cast<int>(handle);
    if (bytes == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes)) == 0) return;
    struct stat info {};
    if (errno == ENOSPC && ::fstat(fd, &info) == 0 && static_cast<std::uint64_t>(info.st_size) < bytes)
        ::fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, info.st_size,
                    static_cast<off_t>(bytes) - info.st_size);
#else
    (void)handle;
    (void)bytes;
#endif
}

std::int32_t Close(NativeFileTraits::Type handle) {
    return ::close(static_cast<int>(handle)) == 0 ? 0 : errno;
}

std::uint64_t Length(NativeFileTraits::Type handle, std::int32_t& error) {
    struct stat info {};
    if (::fstat(static_cast<int>(handle), &info) != 0) {
        error = errno;
        return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

bool Status(NativeFileTraits::Type handle, FileStatus& status, std::int32_t& error) {
    int fd = static_cast<int>(handle);
#ifdef STATX_BTIME
    struct statx info {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &info) == 0) {
        if (info.stx_mask & STATX_BTIME) status.creationTime = info.stx_btime.tv_sec;
        status.lastWriteTime = info.stx_mtime.tv_sec;
        status.lastAccessTime = info.stx_atime.tv_sec;
        status.size = info.stx_size;
        status.attributes = info.stx_mode;
        return true;
    }
#endif
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errno;
        return false;
    }
    status.lastWriteTime = st.st_mtime;
    status.lastAccessTime = st.st_atime;
    status.size = static_cast<std::uint64_t>(st.st_size);
    status.attributes = st.st_mode;
    return true;
}

FileErrorCause CauseOf(std::int32_t systemCode) { return CauseFromErrno(systemCode); }

std::string_view LastComponent(std::string_view fullPath) {
    auto slash = fullPath.find_last_of('/');
    return slash == std::string_view::npos ? fullPath : fullPath.substr(slash + 1);
}

}  // namespace native_file
