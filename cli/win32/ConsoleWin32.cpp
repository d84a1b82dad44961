#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "base/NativeFile.h"
#include "cli/Console.h"

namespace {

// Ctrl+C or the console closing: the output's temporary file goes (the
// output itself is untouched until the end); FALSE lets the default end the
// program.
BOOL WINAPI RemoveTemporariesAndStop(DWORD) {
    native_file::RemoveTemporaryFilesNow();
    return FALSE;
}

}  // namespace

bool PrepareProcess() {
    ::SetConsoleCtrlHandler(&RemoveTemporariesAndStop, TRUE);
    return true;
}

// Windows' own sharing rules refuse what needs refusing once the files open.
std::optional<InputRefusal> RefusedInput(const std::string&, bool) { return std::nullopt; }

// Only a console has a console mode. _isatty would also say yes for NUL, a
// character device too, and the bar would then be drawn into nothing.
bool IsTerminal(int descriptor) {
    DWORD mode = 0;
    auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

std::FILE* OpenStandardInputCopy(std::string& readPath) {
    std::FILE* copy = nullptr;
    char folder[MAX_PATH + 1];
    char name[MAX_PATH + 1];
    if (GetTempPathA(sizeof folder, folder) != 0 && GetTempFileNameA(folder, "afg", 0, name) != 0) {
        readPath = name;
        native_file::RememberTemporary(readPath);  // an interruption removes it
        copy = std::fopen(name, "wb");
    }
    _setmode(_fileno(stdin), _O_BINARY);
    return copy;
}

// Windows lets nobody open a file another handle writes: the stream is closed.
int FinishStandardInputCopy(std::FILE*& copy) { return std::fclose(std::exchange(copy, nullptr)) == 0 ? 0 : errno; }

void RemoveStandardInputCopy(std::FILE* copy, const std::string& readPath) {
    if (copy != nullptr) std::fclose(copy);
    if (readPath.empty()) return;
    std::remove(readPath.c_str());
    native_file::ForgetTemporary(readPath);
}
