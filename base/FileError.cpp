#include "base/FileError.h"

#include <algorithm>
#include <array>
#include <cerrno>

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
