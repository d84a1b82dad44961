#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "app/NativeFile.h"
#include "cli/Console.h"

namespace fs = std::filesystem;

namespace {

// Interrupted or terminated: the temporary file of the output goes (the
// output itself is untouched until the end), then the signal does what it
// would have done.
extern "C" void RemoveTemporariesAndStop(int signal) {
    native_file::RemoveTemporaryFilesNow();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

bool PrepareProcess() {
    // Descriptors 0 to 2 are the standard streams: if one is closed, the next
    // file opened would take its number and be written or read as that stream.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // open answers the lowest free number: this very one.
            if (::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd) return false;
        }
    }
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, &RemoveTemporariesAndStop);
    // A reader that goes away, or a file size limit, is reported as a failed
    // write, not a silent death that leaves the temporary files behind.
    for (int signal : {SIGPIPE, SIGXFSZ}) std::signal(signal, SIG_IGN);
    std::setlocale(LC_CTYPE, "");
    return true;
}

bool IsTerminal(int descriptor) { return isatty(descriptor) != 0; }

std::FILE* OpenStandardInputCopy(std::string& path) {
    std::error_code noTemp;
    fs::path folder = fs::temp_directory_path(noTemp);
    std::string pattern = ((noTemp ? fs::path("/tmp") : folder) / "arrayforge-stdin-XXXXXX").string();
    int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) return nullptr;
    path = pattern;
    return ::fdopen(descriptor, "wb");
}
