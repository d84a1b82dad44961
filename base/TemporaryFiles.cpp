#include <csignal>
#include <cstring>

#include "base/NativeFile.h"

namespace native_file {
namespace {

// Temporary files of outputs being written, for RemoveTemporaryFilesNow: a
// fixed table, so that a signal handler can read it without taking a lock.
struct TemporarySlot {
    char path[4096];
    volatile std::sig_atomic_t used;
};
TemporarySlot g_temporaries[8];

}  // namespace

void RememberTemporary(const std::string& path) {
    for (auto& slot : g_temporaries) {
        if (slot.used || path.size() >= sizeof slot.path) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.used = 1;
        return;
    }
}

void ForgetTemporary(const std::string& path) {
    for (auto& slot : g_temporaries)
        if (slot.used && path == slot.path) slot.used = 0;
}

void RemoveTemporaryFilesNow() noexcept {
    for (auto& slot : g_temporaries)
        if (slot.used) RemoveFileNow(slot.path);
}

}  // namespace native_file
