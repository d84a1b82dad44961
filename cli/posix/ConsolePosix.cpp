#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "base/NativeFile.h"
#include "base/posix/PosixFiles.h"
#include "cli/Console.h"

namespace fs = std::filesystem;

namespace {

// Interrupted or terminated: the named temporary files of the outputs go
// (the outputs themselves are untouched until the end), then the signal
// does what it would have done.
extern "C" void RemoveTemporariesAndStop(int signal) {
    native_file::RemoveTemporaryFilesNow();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

bool PrepareProcess() {
    // Descriptors 0 to 2 are the standard streams: if one is closed, the next
    // file opened would take its number and be written or read as that
    // stream. It gets /dev/null against its direction, so that using it
    // fails and is reported rather than reading nothing or writing into
    // nothing as if that had worked.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // open answers the lowest free number: this very one.
            if (::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY) != fd) return false;
        }
    }
    // Every signal that would end the program removes the named temporary
    // files first (where the file system gives no unnamed ones), unless the
    // caller had it ignored.
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            std::signal(signal, &RemoveTemporariesAndStop);
    }
    // A reader that goes away, or a file size limit, is reported as a failed
    // write, not a silent death.
    for (int signal : {SIGPIPE, SIGXFSZ}) std::signal(signal, SIG_IGN);
    std::setlocale(LC_CTYPE, "");
    return true;
}

std::optional<InputRefusal> RefusedInput(const std::string& input, bool toStandardOutput) {
    struct stat info {};
    if (::stat(input.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;  // the run reports it
    if (!S_ISREG(info.st_mode))
        return InputRefusal{false, "not a regular file (its length is not known before it is read)"};
    struct stat out {};
    if (toStandardOutput && ::fstat(STDOUT_FILENO, &out) == 0 && out.st_dev == info.st_dev && out.st_ino == info.st_ino)
        return InputRefusal{true, "standard output is the input file itself"};
    return std::nullopt;
}

bool IsTerminal(int descriptor) { return isatty(descriptor) != 0; }

std::FILE* OpenStandardInputCopy(std::string& readPath) {
    std::error_code noTemp;
    fs::path folder = fs::temp_directory_path(noTemp);
    // Without a name, so that nothing is left behind however the program
    // ends: it is read back through its descriptor.
    NativeFile file;
    if (int error = native_file::CreateUnnamedFile(noTemp ? "/tmp" : folder.string(), file)) {
        errno = error;
        return nullptr;
    }
    readPath = "/dev/fd/" + std::to_string(file.Get());
    return ::fdopen(static_cast<int>(file.Release()), "w+b");
}

// The copy is read through its descriptor: the stream stays open, as the
// only hold on the unnamed file.
int FinishStandardInputCopy(std::FILE*& copy) { return std::fflush(copy) == 0 ? 0 : errno; }

void RemoveStandardInputCopy(std::FILE* copy, const std::string&) {
    if (copy != nullptr) std::fclose(copy);  // the last hold: the file goes
}
