// How an output file is written on POSIX systems: looked up once, then
// replaced whole or not at all.
//
// The open finds the output's folder and the file there through the
// kernel's own path look-up (so its protections for links in shared folders
// apply) and keeps both descriptors to the end: a link changed meanwhile
// changes nothing. The text goes to a temporary that has no name until it
// is complete where the file system allows (nothing is left behind however
// the process ends). The temporary then takes the file's place by a rename,
// where a rename keeps the file as it was: a plain file with one link whose
// owner, mode and extended attributes (the ACL among them) could be carried
// over, in a folder where we may create files. Everywhere else (a link,
// several hard links, a folder we may not write, a sticky folder, a bind
// mount) the file opened at the start is rewritten in place from the
// complete temporary, its room reserved before its first byte changes.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "base/File.h"
#include "base/posix/PosixFiles.h"

namespace native_file {

struct Replacement {
    NativeFile folder;           // the output's folder, as the open found it
    std::string folderPath;      // as given, "" or ending in '/'
    std::string name;            // the output's name in it
    NativeFile target;           // the file there at the open, held for writing; none for a new output
    NativeFile temporary;        // a descriptor of our own on the temporary the text goes to
    std::string namedTemporary;  // its name in `folder` while it has one
    std::string temporaryPath;   // the same as a path, for the interruption table
    bool inPlace = false;        // `target` is rewritten rather than replaced
    bool replace = false;        // a file that appears meanwhile may be replaced
};

void ReplacementDeleter::operator()(Replacement* replacement) const noexcept {
    if (!replacement->namedTemporary.empty()) {
        ::unlinkat(static_cast<int>(replacement->folder.Get()), replacement->namedTemporary.c_str(), 0);
        ForgetTemporary(replacement->temporaryPath);
    }
    delete replacement;
}

namespace {

int Descriptor(const NativeFile& file) { return static_cast<int>(file.Get()); }

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// A name no one else uses, for a temporary that must have one.
std::string TemporaryName() {
    static unsigned counter = 0;
    const unsigned mixed = static_cast<unsigned>(::getpid()) * 2654435761u ^ ++counter * 40503u ^
                           static_cast<unsigned>(std::time(nullptr));
    char name[32];
    std::snprintf(name, sizeof name, ".arrayforge-%08x.tmp", mixed);
    return name;
}

std::string ProcessPath(int descriptor) { return "/proc/self/fd/" + std::to_string(descriptor); }

// A new, empty temporary in `folder` with the permissions `mode` less the
// umask, unnamed where the file system and /proc allow (it can then be
// linked in by its descriptor), else under a name of its own that the
// interruption table knows. Returns the errno on failure.
int CreateTemporary(Replacement& replacement, mode_t mode, NativeFile& file) {
    const int folder = Descriptor(replacement.folder);
    file.Reset(::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    if (file && ::access(ProcessPath(Descriptor(file)).c_str(), F_OK) == 0) return 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = TemporaryName();
        // An interruption between the making and the table's entry would
        // leave the file behind: it waits until both are done.
        BlockInterruptions blocked;
        file.Reset(::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (!file) {
            if (errno == EEXIST) continue;
            return errno;
        }
        replacement.namedTemporary = name;
        replacement.temporaryPath = replacement.folderPath + name;
        RememberTemporary(replacement.temporaryPath);
        return 0;
    }
    return EEXIST;
}

// A scratch file for an output rewritten in place: unnamed, in the
// output's folder where we may create files, else in the folder for
// temporary files.
int CreateScratch(Replacement& replacement, NativeFile& file) {
    if (CreateTemporary(replacement, 0600, file) == 0) return 0;
    const char* temporaryFolder = std::getenv("TMPDIR");
    return CreateUnnamedFile(temporaryFolder != nullptr && *temporaryFolder != '\0' ? temporaryFolder : "/tmp", file);
}

// Gives `temporary` the owner, group, permissions and extended attributes
// (on Linux the ACL is one) of `target`; false where that cannot be done.
bool CarryOverAttributes(int target, int temporary) {
    struct stat from {
    }, to{};
    if (::fstat(target, &from) != 0 || ::fstat(temporary, &to) != 0) return false;
    // The owner first: a change of owner clears the set-id bits.
    if ((from.st_uid != to.st_uid || from.st_gid != to.st_gid) && ::fchown(temporary, from.st_uid, from.st_gid) != 0)
        return false;
    if (::fchmod(temporary, from.st_mode & 07777) != 0) return false;
    const auto names = [](int file, std::string& list) {
        ssize_t size = ::flistxattr(file, nullptr, 0);
        if (size < 0) return errno == ENOTSUP;
        list.resize(static_cast<std::size_t>(size));
        size = ::flistxattr(file, list.data(), list.size());
        if (size < 0) return false;
        list.resize(static_cast<std::size_t>(size));
        return true;
    };
    std::string theirs, ours;
    if (!names(target, theirs) || !names(temporary, ours)) return false;
    // What the folder gave the new file (a default ACL) and the old one had not goes.
    for (std::size_t at = 0; at < ours.size(); at = ours.find('\0', at) + 1) {
        const char* name = ours.c_str() + at;
        if (::fgetxattr(target, name, nullptr, 0) < 0 && ::fremovexattr(temporary, name) != 0) return false;
    }
    for (std::size_t at = 0; at < theirs.size(); at = theirs.find('\0', at) + 1) {
        const char* name = theirs.c_str() + at;
        std::vector<char> value(64);
        ssize_t size;
        while ((size = ::fgetxattr(target, name, value.data(), value.size())) < 0 && errno == ERANGE)
            value.resize(value.size() * 4);
        if (size < 0 || ::fsetxattr(temporary, name, value.data(), static_cast<std::size_t>(size), 0) != 0)
            return false;
    }
    return true;
}

// Copies bytes `from` to `to` of the temporary into the same place of the target.
int CopyRange(int temporary, int target, off_t from, off_t to) {
    std::vector<char> buffer(std::min<off_t>(to - from, 1 << 20));
    if (::lseek(target, from, SEEK_SET) < 0) return errno;
    while (from < to) {
        const ssize_t got = ::pread(temporary, buffer.data(), std::min<off_t>(to - from, buffer.size()), from);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return got < 0 ? errno : EIO;
        if (int error = WriteAll(target, buffer.data(), static_cast<std::size_t>(got))) return error;
        from += got;
    }
    return 0;
}

// The target rewritten from the temporary. The part past its old end comes
// first: if even that finds the disk full, the old length is restored and
// nothing of the old text has changed.
int RewriteInPlace(Replacement& replacement) {
    const int temporary = Descriptor(replacement.temporary);
    const int target = Descriptor(replacement.target);
    struct stat now {
    }, old{};
    if (::fstat(temporary, &now) != 0 || ::fstat(target, &old) != 0) return errno;
    // Room for the whole new text first: where the system has no way to set
    // it aside, the part past the old end is written first below.
    if (int error = Reserve(replacement.target.Get(), static_cast<std::uint64_t>(now.st_size))) return error;
    if (now.st_size > old.st_size) {
        if (int error = CopyRange(temporary, target, old.st_size, now.st_size)) {
            ::ftruncate(target, old.st_size);  // what the user hears of is the copy's failure
            return error;
        }
    }
    if (int error = CopyRange(temporary, target, 0, std::min(now.st_size, old.st_size))) return error;
    return ::ftruncate(target, now.st_size) == 0 ? 0 : errno;
}

// Gives the complete temporary the name `name` in the folder: only where
// nothing has that name unless `replace`.
int LinkTemporary(Replacement& replacement, const std::string& name, bool replace) {
    const int folder = Descriptor(replacement.folder);
    if (replacement.namedTemporary.empty()) {
        // An unnamed file is linked in through /proc, which needs no privilege.
        const std::string source = ProcessPath(Descriptor(replacement.temporary));
        if (!replace)
            return ::linkat(AT_FDCWD, source.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
        std::string interim;
        for (int attempt = 0; attempt < 100 && interim.empty(); ++attempt) {
            BlockInterruptions blocked;
            const std::string candidate = TemporaryName();
            if (::linkat(AT_FDCWD, source.c_str(), folder, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                interim = candidate;
                replacement.namedTemporary = candidate;
                replacement.temporaryPath = replacement.folderPath + candidate;
                RememberTemporary(candidate);
            } else if (errno != EEXIST) {
                return errno;
            }
        }
        if (interim.empty()) return EEXIST;
    }
    const char* from = replacement.namedTemporary.c_str();
    int result = 0;
    if (replace) {
        result = ::renameat(folder, from, folder, name.c_str()) == 0 ? 0 : errno;
    } else if (::renameat2(folder, from, folder, name.c_str(), RENAME_NOREPLACE) != 0) {
        result = errno;
        // A file system without the no-replace rename: a hard link is made
        // only where no file is.
        if (result == EINVAL || result == ENOSYS)
            result = ::linkat(folder, from, folder, name.c_str(), 0) == 0 ? 0 : errno;
        if (result != 0) return result;
        ::unlinkat(folder, from, 0);
    }
    if (result == 0) {
        ForgetTemporary(replacement.temporaryPath);
        replacement.namedTemporary.clear();
    }
    return result;
}

}  // namespace

std::optional<FileError> OpenOutput(const std::string& given, bool replace, Opened& result) {
    const std::string fullPath = FullPath(given);
    if (const auto stream = NamedDescriptor(given)) {
        // Written where that descriptor writes, never renamed over.
        NativeFile copy(::fcntl(*stream, F_DUPFD_CLOEXEC, 0));
        if (!copy) return OpenFailure(errno, given, fullPath, OpenMode::Output);
        if ((::fcntl(Descriptor(copy), F_GETFL) & O_ACCMODE) == O_RDONLY)
            return OpenFailure(EBADF, given, fullPath, OpenMode::Output);
        result.handle = std::move(copy);
        result.fullPath = fullPath;
        return std::nullopt;
    }
    auto replacement = PendingReplacement(new Replacement);
    const auto slash = given.find_last_of('/');
    const std::string& folderPath = replacement->folderPath =
        slash == std::string::npos ? std::string() : given.substr(0, slash + 1);
    replacement->name = given.substr(folderPath.size());
    replacement->replace = replace;
    if (replacement->name.empty()) return OpenFailure(EISDIR, given, fullPath, OpenMode::Output);
    replacement->folder.Reset(::open(folderPath.empty() ? "." : folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!replacement->folder) return OpenFailure(errno, given, fullPath, OpenMode::Output);
    const int folder = Descriptor(replacement->folder);

    // Opened for writing, as the output itself will be: a file we may not
    // write stays refused, and the lock finds a file in use (the input
    // above all) before anything is written.
    NativeFile target(::openat(folder, replacement->name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!target && errno != ENOENT) return OpenFailure(errno, given, fullPath, OpenMode::Output);
    struct stat named {};
    const bool nameTaken = ::fstatat(folder, replacement->name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0;
    if (!target && nameTaken)  // a link that leads nowhere is no place to write
        return OpenFailure(ENOENT, given, fullPath, OpenMode::Output);
    struct stat existing {};
    if (target) {
        if (::fstat(Descriptor(target), &existing) != 0) return OpenFailure(errno, given, fullPath, OpenMode::Output);
        if (!S_ISREG(existing.st_mode)) {
            // A device or a pipe cannot be replaced: it is written directly.
            result.handle = std::move(target);
            result.fullPath = fullPath;
            return std::nullopt;
        }
        if (!replace) return OpenFailure(EEXIST, given, fullPath, OpenMode::Output);
        if (::flock(Descriptor(target), LOCK_EX | LOCK_NB) != 0 && errno != EINVAL && errno != ENOLCK &&
            errno != ENOTSUP)
            return OpenFailure(errno, given, fullPath, OpenMode::Output);
        // The name must be the very file opened, and its only name, for a
        // rename to keep it as it was.
        replacement->inPlace = !nameTaken || !SameFile(named, existing) || existing.st_nlink > 1;
        replacement->target = std::move(target);
    }

    NativeFile temporary;
    if (!replacement->inPlace) {
        const int error = CreateTemporary(*replacement, replacement->target ? 0600 : 0666, temporary);
        // A new output can be made only where the folder lets us.
        if (error != 0 && !replacement->target) return OpenFailure(error, given, fullPath, OpenMode::Output);
        // Where the replacement could not be what the file was, the temporary is scratch.
        replacement->inPlace =
            error != 0 || (replacement->target && !CarryOverAttributes(Descriptor(replacement->target),
                                                                      Descriptor(temporary)));
    }
    if (!temporary) {
        if (const int error = CreateScratch(*replacement, temporary))
            return OpenFailure(error, given, fullPath, OpenMode::Output);
    }
    replacement->temporary.Reset(::fcntl(Descriptor(temporary), F_DUPFD_CLOEXEC, 0));
    if (!replacement->temporary) return OpenFailure(errno, given, fullPath, OpenMode::Output);
    result.handle = std::move(temporary);
    result.fullPath = fullPath;
    result.replacement = std::move(replacement);
    return std::nullopt;
}

std::int32_t Prepare(Replacement& replacement) {
    if (!replacement.inPlace) return 0;
    struct stat now {};
    if (::fstat(Descriptor(replacement.temporary), &now) != 0) return errno;
    return Reserve(replacement.target.Get(), static_cast<std::uint64_t>(now.st_size));
}

std::int32_t Commit(Replacement& replacement) {
    if (!replacement.inPlace) {
        const int error = LinkTemporary(replacement, replacement.name, replacement.replace || replacement.target);
        // A rename that fails changes nothing: where the system refuses it
        // (a file mounted there, above all), the file is rewritten in place.
        if (error == 0 || !replacement.target) return error;
    }
    return RewriteInPlace(replacement);
}

}  // namespace native_file
