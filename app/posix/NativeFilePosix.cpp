// CFile's system half on POSIX systems. Windows' share modes are imitated
// with flock(2) locks taken without waiting: an output takes an exclusive
// lock on the file it replaces, the input a shared one, so that two opens of
// one file that Windows would refuse (the input also named as the output,
// above all) fail here too with a sharing violation, before anything is
// written.

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
#include <cstring>
#include <ctime>
#include <string>

#include "app/File.h"
#include "app/NativeFile.h"

void NativeFileTraits::Close(Type handle) noexcept { ::close(static_cast<int>(handle)); }

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

FileError OpenFailure(int error, std::string_view path, const std::string& fullPath, OpenMode mode) {
    FileErrorCause cause = CauseFromErrno(error);
    // A missing file is "not found" only where its folder exists; an output
    // is created when missing, so its ENOENT always means a missing folder.
    if (error == ENOENT && (mode == OpenMode::Output || !ParentExists(fullPath)))
        cause = FileErrorCause::BadPath;
    return FileError{cause, error, std::string(path)};
}

// The file a write to `path` really changes: through a symbolic link, the
// file it leads to, so that replacing the output keeps the link.
std::string Destination(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// Creates a new, empty file with a name of its own in `directory` ("" or
// ending in "/"); the name is short, whatever the output's name.
NativeFile CreateTemporary(const std::string& directory, std::string& path, int& error) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned mixed = static_cast<unsigned>(::getpid()) * 2654435761u ^ ++counter * 40503u ^
                         static_cast<unsigned>(std::time(nullptr));
        char name[32];
        std::snprintf(name, sizeof name, ".arrayforge-%08x.tmp", mixed);
        path = directory + name;
        // 0666 less the umask: the permissions any new file would get.
        NativeFile file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (file) return file;
        error = errno;
        if (error != EEXIST) return {};
    }
    return {};
}

std::optional<FileError> OpenOutput(const std::string& given, Opened& result) {
    const std::string fullPath = FullPath(given);
    const std::string destination = Destination(given);
    struct stat info {};  // of the file replaced, if any
    if (::stat(destination.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return OpenFailure(EISDIR, given, fullPath, OpenMode::Output);
        // Opened for writing, as the output itself would be: a file we may
        // not write stays refused, and the lock finds a file in use (the
        // input above all) before anything is written.
        NativeFile target(::open(destination.c_str(), O_WRONLY | O_CLOEXEC));
        if (!target) return OpenFailure(errno, given, fullPath, OpenMode::Output);
        if (::flock(static_cast<int>(target.Get()), LOCK_EX | LOCK_NB) != 0 && errno != EINVAL &&
            errno != ENOLCK && errno != ENOTSUP)
            return OpenFailure(errno, given, fullPath, OpenMode::Output);
        if (::fstat(static_cast<int>(target.Get()), &info) != 0)
            return OpenFailure(errno, given, fullPath, OpenMode::Output);
        if (!S_ISREG(info.st_mode)) {
            // A device or a pipe cannot be replaced: it is written directly.
            result.handle = std::move(target);
            result.fullPath = fullPath;
            return std::nullopt;
        }
        result.target = std::move(target);
    }
    auto slash = destination.find_last_of('/');
    std::string directory = slash == std::string::npos ? std::string() : destination.substr(0, slash + 1);
    int error = 0;
    std::string temporaryPath;
    // A signal that ends the program between the file's making and its
    // entry in the table would leave it behind: it waits till both are done.
    sigset_t stopping, previous;
    sigemptyset(&stopping);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stopping, signal);
    pthread_sigmask(SIG_BLOCK, &stopping, &previous);
    NativeFile file = CreateTemporary(directory, temporaryPath, error);
    if (file) RememberTemporary(temporaryPath);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (!file) return OpenFailure(error, given, fullPath, OpenMode::Output);
    result.temporaryPath = temporaryPath;
    // An output that is replaced keeps its permission bits.
    if (result.target && ::fchmod(static_cast<int>(file.Get()), info.st_mode & 07777) != 0) {
        error = errno;
        Discard(result);
        return OpenFailure(error, given, fullPath, OpenMode::Output);
    }
    result.handle = std::move(file);
    result.fullPath = fullPath;
    return std::nullopt;
}

}  // namespace

std::string FullPath(std::string_view path) {
    if (!path.empty() && path.front() == '/') return std::string(path);
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) return std::string(path);
    std::string full = cwd;
    if (full.back() != '/') full += '/';
    full += path;
    return full;
}

bool Exists(std::string_view path) {
    struct stat info {};
    return ::stat(std::string(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::optional<FileError> Open(std::string_view path, OpenMode mode, Opened& result) {
    const std::string given(path);
    if (path.empty()) return FileError{FileErrorCause::BadPath, ENOENT, {}};
    if (mode == OpenMode::Output) return OpenOutput(given, result);

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

std::int32_t Commit(Opened& output, std::string_view path, bool replace) {
    if (output.temporaryPath.empty()) return 0;
    const std::string destination = Destination(std::string(path));
    const char* temporary = output.temporaryPath.c_str();
    int error = 0;
    if (replace) {
        if (::rename(temporary, destination.c_str()) != 0) error = errno;
    } else if (::renameat2(AT_FDCWD, temporary, AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) != 0) {
        error = errno;
        if (error == EINVAL || error == ENOSYS) {
            // A file system without the no-replace rename: a hard link is
            // made only where no file is, and the temporary name then goes.
            error = ::link(temporary, destination.c_str()) == 0 ? 0 : errno;
            if (error == 0) ::unlink(temporary);
        }
    }
    if (error != 0) ::unlink(temporary);
    ForgetTemporary(output.temporaryPath);
    output.temporaryPath.clear();
    output.target.Reset();
    return error;
}

void RemoveFileNow(const char* path) noexcept { ::unlink(path); }

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
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errno;
        return false;
    }
    status.lastWriteTime = st.st_mtime;
    status.lastAccessTime = st.st_atime;
    status.size = static_cast<std::uint64_t>(st.st_size);
    status.attributes = st.st_mode;
#ifdef STATX_BTIME
    // The birth time only where the system and the file system keep one.
    struct statx info {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BTIME, &info) == 0 && (info.stx_mask & STATX_BTIME))
        status.creationTime = info.stx_btime.tv_sec;
#endif
    return true;
}

FileErrorCause CauseOf(std::int32_t systemCode) { return CauseFromErrno(systemCode); }

std::string Describe(std::int32_t systemCode) { return std::strerror(systemCode); }

std::string_view LastComponent(std::string_view fullPath) {
    auto slash = fullPath.find_last_of('/');
    return slash == std::string_view::npos ? fullPath : fullPath.substr(slash + 1);
}

}  // namespace native_file
