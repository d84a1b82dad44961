#pragma once

#include <cstdint>
#include <string>

// Why a file operation failed. The values are fixed: the error report picks
// its text by them (texts::kFileErrors).
enum class FileErrorCause : int {
    None = 0,
    Generic = 1,
    FileNotFound = 2,
    BadPath = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    InvalidFile = 6,
    RemoveCurrentDir = 7,
    DirectoryFull = 8,
    BadSeek = 9,
    HardIO = 10,
    SharingViolation = 11,
    LockViolation = 12,
    DiskFull = 13,
    EndOfFile = 14,
};

// A failed file operation: an open hands it back, every other operation
// throws it.
struct FileError {
    FileErrorCause cause = FileErrorCause::None;
    std::int32_t systemCode = 0;  // Windows error code, or errno natively
    std::string path;             // file concerned; may be empty
};

// Classifies a system's error code the way the program tells failures
// apart; each system's half of the files defines its own.
#ifdef _WIN32
FileErrorCause CauseFromWindowsError(std::uint32_t code);  // GetLastError's codes
#else
FileErrorCause CauseFromErrno(int error);
#endif
