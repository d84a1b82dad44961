#include "base/BackgroundWriter.h"

#include <utility>

BackgroundWriter::BackgroundWriter(NativeFileTraits::Type file, std::size_t blockSize) : m_file(file) {
    // One free block for every place in the queue: the caller always gets
    // one back, and memory use is the same for every file.
    for (std::size_t i = 0; i < kQueueDepth; ++i) m_free.push_back(std::make_unique<char[]>(blockSize));
    m_thread = std::thread([this] { WriteLoop(); });
}

BackgroundWriter::~BackgroundWriter() {
    {
        // The loop stops only at an empty queue: joining it waits for the rest.
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_queued.notify_one();
    m_thread.join();
}

std::int32_t BackgroundWriter::Submit(std::unique_ptr<char[]>& block, std::size_t size) {
    {
        std::unique_lock lock(m_mutex);
        m_written.wait(lock, [this] { return m_queue.size() < kQueueDepth || m_error != 0; });
        if (m_error != 0) return m_error;
        m_queue.push_back({std::move(block), size});
        // With room in the queue a free block is always there.
        block = std::move(m_free.back());
        m_free.pop_back();
    }
    m_queued.notify_one();
    return 0;
}

std::int32_t BackgroundWriter::Wait() {
    std::unique_lock lock(m_mutex);
    m_written.wait(lock, [this] { return m_queue.empty(); });
    return m_error;
}

void BackgroundWriter::WriteLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_queued.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
        if (m_queue.empty()) return;
        // After a failure the rest goes unwritten. Only this thread sets m_error.
        if (m_error == 0) {
            const char* data = m_queue.front().data.get();
            std::size_t size = m_queue.front().size;
            lock.unlock();
            const std::int32_t error = native_file::WriteAll(m_file, data, size);
            lock.lock();
            m_error = error;
        }
        m_free.push_back(std::move(m_queue.front().data));
        m_queue.pop_front();
        m_written.notify_one();
    }
}
