#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "app/NativeFile.h"

// Writes blocks to an open file on a thread of its own, so that the caller
// fills its next block while the system takes the previous one. One block
// is in flight at a time; a failed write is reported by the next call.
class BackgroundWriter {
public:
    explicit BackgroundWriter(NativeFileTraits::Type file);
    ~BackgroundWriter();  // waits for the block in flight
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Waits for the block in flight, then hands over `data`, which must stay
    // untouched until the next Submit or Wait returns. Returns the system
    // error code of an earlier write, or 0; after an error nothing more is
    // written.
    std::int32_t Submit(const char* data, std::size_t size);
    // Waits for the block in flight; returns the first error code, or 0.
    std::int32_t Wait();

private:
    void WriteLoop();

    NativeFileTraits::Type m_file;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_busy = false;
    bool m_stopping = false;
    std::int32_t m_error = 0;
    std::thread m_thread;  // last: starts once everything above is ready
};
