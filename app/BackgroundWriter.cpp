#include "app/BackgroundWriter.h"

BackgroundWriter::BackgroundWriter(NativeFileTraits::Type file)
    : m_file(file), m_thread([this] { WriteLoop(); }) {}

BackgroundWriter::~BackgroundWriter() {
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_busy; });
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

std::int32_t BackgroundWriter::Submit(const char* data, std::size_t size) {
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_busy; });
        if (m_error != 0) return m_error;
        m_data = data;
        m_size = size;
        m_busy = true;
    }
    m_changed.notify_all();
    return 0;
}

std::int32_t BackgroundWriter::Wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
    return m_error;
}

void BackgroundWriter::WriteLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_busy || m_stopping; });
        if (!m_busy) return;
        const char* data = m_data;
        std::size_t size = m_size;
        lock.unlock();
        std::int32_t error = native_file::WriteAll(m_file, data, size);
        lock.lock();
        if (m_error == 0) m_error = error;
        m_busy = false;
        m_changed.notify_all();
    }
}
