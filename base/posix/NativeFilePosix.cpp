// CFile's system half on POSIX systems (outputs in OutputPosix.cpp).
// Windows' share modes are imitated with flock(2) locks taken without
// waiting: an output takes an exclusive lock on the file it replaces, the
// input a shared one, so that two opens of one file that Windows would
// refuse fail here too with a sharing violation, before anything is written.

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "base/File.h"
#include "base/NativeFile.h"
#include "base/posix/PosixFiles.h"

void NativeFileTraits::Close(Type handle) noexcept { ::close(static_cast<int>(handle)); }

FileErrorCause CauseFromErrno(int error) {
    switch (error) {
    case 0: return FileErrorCause::None;
    case ENOENT: return FileErrorCause::FileNotFound;  // refined by the caller: missing folder
    case EBADF: return FileErrorCause::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
    case ELOOP: return FileErrorCause::BadPath;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST: return FileErrorCause::AccessDenied;
    case EMFILE:
    case ENFILE: return FileErrorCause::TooManyOpenFiles;
    case ETXTBSY:
    case EWOULDBLOCK: return FileErrorCause::SharingViolation;
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return FileErrorCause::DiskFull;
    case EIO: return FileErrorCause::HardIO;
    case ESPIPE: return FileErrorCause::BadSeek;
    default: return FileErrorCause::Generic;
    }
}

namespace native_file {
namespace {

// For a path whose open said ENOENT: a parent that exists is a folder (any
// other file would have made it ENOTDIR).
bool ParentExists(const std::string& fullPath) {
    auto slash = fullPath.find_last_of('/');
    std::string parent = slash == 0 ? "/" : fullPath.substr(0, slash);
    struct stat info {};
    return ::stat(parent.c_str(), &info) == 0;
}

}  // namespace

FileError OpenFailure(int error, std::string_view path, const std::string& fullPath, OpenMode mode) {
    FileErrorCause cause = CauseFromErrno(error);
    if (error == ENOENT && (mode == OpenMode::Output || !ParentExists(fullPath))) cause = FileErrorCause::BadPath;
    return FileError{cause, error, std::string(path)};
}

std::optional<int> NamedDescriptor(const std::string& path) {
    if (path == "/dev/stdout") return STDOUT_FILENO;
    if (path == "/dev/stderr") return STDERR_FILENO;
    for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (!path.starts_with(prefix)) continue;
        const std::string number = path.substr(prefix.size());
        if (number.empty() || number.size() > 9 || number.find_first_not_of("0123456789") != std::string::npos) break;
        return std::atoi(number.c_str());
    }
    return std::nullopt;
}

int CreateUnnamedFile(const std::string& folder, NativeFile& file) {
    file.Reset(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (file) return 0;
    std::string pattern = folder + "/arrayforge-XXXXXX";
    file.Reset(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!file) return errno;
    ::unlink(pattern.c_str());
    return 0;
}

BlockInterruptions::BlockInterruptions() noexcept {
    sigset_t all;
    sigfillset(&all);
    for (int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) sigdelset(&all, fault);
    pthread_sigmask(SIG_BLOCK, &all, &m_previous);
}

BlockInterruptions::~BlockInterruptions() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }

std::string FullPath(std::string_view path) {
    if (!path.empty() && path.front() == '/') return std::string(path);
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) return std::string(path);
    std::string full = cwd;
    if (full.back() != '/') full += '/';
    full += path;
    return full;
}

bool WouldReplace(std::string_view path) {
    struct stat info {};
    return ::stat(std::string(path).c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           !NamedDescriptor(std::string(path));
}

std::optional<FileError> Open(std::string_view path, OpenMode mode, bool replaceExisting, Opened& result) {
    const std::string given(path);
    if (path.empty()) return FileError{FileErrorCause::BadPath, ENOENT, {}};
    if (mode == OpenMode::Output) return OpenOutput(given, replaceExisting, result);

    const std::string fullPath = FullPath(path);
    NativeFile file(::open(given.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file) return OpenFailure(errno, path, fullPath, mode);
    int fd = static_cast<int>(file.Get());
    struct stat info {};
    if (::fstat(fd, &info) != 0) return OpenFailure(errno, path, fullPath, mode);
    if (S_ISDIR(info.st_mode)) return OpenFailure(EISDIR, path, fullPath, mode);
    // Others may read, but nobody may write meanwhile (an output takes an
    // exclusive lock). Some file systems know no locks: sharing then goes
    // unchecked.
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno != EINVAL && errno != ENOLCK && errno != ENOTSUP)
        return OpenFailure(errno, path, fullPath, mode);
    result.handle = std::move(file);
    result.fullPath = fullPath;
    return std::nullopt;
}

void RemoveFileNow(const char* path) noexcept { ::unlink(path); }

NativeFileTraits::Type StandardOutput(std::int32_t& error) {
    // A stream closed when the program started was given /dev/null for
    // reading only: there is nowhere to write.
    const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
    if (flags != -1 && (flags & O_ACCMODE) != O_RDONLY) return STDOUT_FILENO;
    error = EBADF;
    return NativeFileTraits::Invalid();
}

std::int32_t Read(NativeFileTraits::Type handle, void* buffer, std::size_t count, std::size_t& got) {
    ssize_t done;
    while ((done = ::read(static_cast<int>(handle), buffer, count)) < 0)
        if (errno != EINTR) return errno;
    got = static_cast<std::size_t>(done);
    return 0;
}

std::int32_t Copy(NativeFileTraits::Type from, NativeFileTraits::Type to, std::size_t count, std::size_t& copied) {
    ssize_t done;
    while ((done = ::copy_file_range(static_cast<int>(from), nullptr, static_cast<int>(to), nullptr, count, 0)) < 0) {
        if (errno == EINTR) continue;
        // Files of different file systems, or kinds it does not copy between.
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF)
            return kCannotCopy;
        return errno;
    }
    copied = static_cast<std::size_t>(done);
    return 0;
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

std::int32_t Reserve(NativeFileTraits::Type handle, std::uint64_t bytes) noexcept {
    // Allocated past the end, the size untouched: the writes then fill
    // blocks that exist. A file system without fallocate says EOPNOTSUPP;
    // one too full may have allocated part before it said ENOSPC, and that
    // part is given back.
    const int fd = static_cast<int>(handle);
    if (bytes == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes)) == 0) return 0;
    const int error = errno;
    if (error == EOPNOTSUPP || error == ENOSYS) return 0;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && static_cast<std::uint64_t>(info.st_size) < bytes)
        ::fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, info.st_size,
                    static_cast<off_t>(bytes) - info.st_size);
    return error;
}

std::int32_t Close(NativeFileTraits::Type handle) { return ::close(static_cast<int>(handle)) == 0 ? 0 : errno; }

std::int32_t Length(NativeFileTraits::Type handle, std::uint64_t& length) {
    struct stat info {};
    if (::fstat(static_cast<int>(handle), &info) != 0) return errno;
    length = static_cast<std::uint64_t>(info.st_size);
    return 0;
}

std::int32_t Status(NativeFileTraits::Type handle, FileStatus& status) {
    int fd = static_cast<int>(handle);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errno;
    status.lastWriteTime = st.st_mtime;
#ifdef STATX_BTIME
    // The birth time only where the system and the file system keep one.
    struct statx info {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BTIME, &info) == 0 && (info.stx_mask & STATX_BTIME))
        status.creationTime = info.stx_btime.tv_sec;
#endif
    return 0;
}

FileErrorCause CauseOf(std::int32_t systemCode) { return CauseFromErrno(systemCode); }

std::string Describe(std::int32_t systemCode) { return std::strerror(systemCode); }

std::string_view LastComponent(std::string_view fullPath) {
    auto slash = fullPath.find_last_of('/');
    return slash == std::string_view::npos ? fullPath : fullPath.substr(slash + 1);
}

}  // namespace native_file
