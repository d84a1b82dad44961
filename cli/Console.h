#pragma once

// What the front end needs of the system besides files; cli/posix and
// cli/win32 implement it.

#include <cstdio>
#include <optional>
#include <string>

// Sets the process up before anything else runs: an interruption removes
// the temporary files of the outputs, and on POSIX systems the standard
// descriptors are all open, a reader that goes away or a file size limit is
// a failed write and the locale is the user's. False when the process
// cannot run at all.
bool PrepareProcess();

// Why `input` is refused before anything is opened, if it is: only a
// regular file has the length the header gives, and standard output must
// not be the input itself (it would feed on its own output).
struct InputRefusal {
    bool standardOutput;  // the fault is standard output's, not the input's
    const char* why;
};
std::optional<InputRefusal> RefusedInput(const std::string& input, bool toStandardOutput);

// Whether `descriptor` is a terminal that a user sits at.
bool IsTerminal(int descriptor);

// A new temporary file for the copy of standard input, open for writing
// bytes, and standard input set to give bytes as they are; null on failure,
// errno telling why. `readPath` is where the copy is read from once
// FinishStandardInputCopy has made it readable. Where the system allows,
// the copy has no name: nothing is left behind however the program ends.
std::FILE* OpenStandardInputCopy(std::string& readPath);
// Writes out what the stream holds and makes the copy readable (the stream
// may be closed then). Returns 0 or the errno of a failed write.
int FinishStandardInputCopy(std::FILE*& copy);
// Closes the stream if it is still open and removes the copy.
void RemoveStandardInputCopy(std::FILE* copy, const std::string& readPath);
