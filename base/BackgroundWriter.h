#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/NativeFile.h"

// Writes blocks to an open file on a thread of its own, so that the caller
// fills its next block while the system takes the previous ones. Up to
// kQueueDepth blocks wait or are being written: a caller that is briefly
// faster or slower than the disk need not wake the other side for every
// block. A failed write is reported by the next call.
class BackgroundWriter {
public:
    static constexpr std::size_t kQueueDepth = 3;

    // Blocks handed over and given back are `blockSize` bytes.
    BackgroundWriter(NativeFileTraits::Type file, std::size_t blockSize);
    ~BackgroundWriter();  // waits for the queued blocks
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Queues the first `size` bytes of `block`, waiting while the queue is
    // full, and puts a free block in its place. Returns the system error
    // code of an earlier write, or 0; after an error nothing more is written
    // and `block` stays with the caller.
    std::int32_t Submit(std::unique_ptr<char[]>& block, std::size_t size);
    // Waits until every queued block is written; returns the first error code, or 0.
    std::int32_t Wait();

private:
    struct Block {
        std::unique_ptr<char[]> data;
        std::size_t size;
    };
    void WriteLoop();

    NativeFileTraits::Type m_file;
    std::mutex m_mutex;
    std::condition_variable m_queued;   // the writer waits for work
    std::condition_variable m_written;  // the caller waits for room or the end
    std::deque<Block> m_queue;          // the front one is being written
    std::vector<std::unique_ptr<char[]>> m_free;
    bool m_stopping = false;
    std::int32_t m_error = 0;
    std::thread m_thread;  // started once everything above is ready
};
