#include "base/File.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <utility>
#include <vector>

#include "base/CodePage932.h"

namespace {

constexpr std::size_t kMaxFileNameBytes = 255;

}  // namespace

bool OutputWouldReplace(std::string_view path) { return native_file::WouldReplace(path); }

CFile::CFile() = default;

CFile::~CFile() { CloseQuietly(); }

std::optional<FileError> CFile::Open(std::string_view path, OpenMode mode, bool replaceExisting) {
    CloseQuietly();
    native_file::Opened opened;
    if (auto error = native_file::Open(path, mode, replaceExisting, opened)) return error;
    Adopt(std::move(opened), true, mode);
    return std::nullopt;
}

std::optional<FileError> CFile::OpenStandardOutput() {
    CloseQuietly();
    std::int32_t error = 0;
    auto handle = native_file::StandardOutput(error);
    if (handle == NativeFileTraits::Invalid()) return FileError{FileErrorCause::InvalidFile, error, {}};
    native_file::Opened opened;
    opened.handle = NativeFile(handle);
    Adopt(std::move(opened), false, OpenMode::Output);
    return std::nullopt;
}

void CFile::Adopt(native_file::Opened opened, bool owns, OpenMode mode) {
    m_handle = std::move(opened.handle);
    m_ownsHandle = owns;
    m_mode = mode;
    m_fullPath = std::move(opened.fullPath);
    m_replacement = std::move(opened.replacement);
    if (mode == OpenMode::Output) m_buffer = std::make_unique<char[]>(kOutputBufferSize);
    m_buffered = 0;
    m_writeInline = false;
    m_lfLineEnds = false;
}

std::size_t CFile::Read(void* buffer, std::size_t count) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
        std::size_t got = 0;
        if (auto error = native_file::Read(m_handle.Get(), bytes + total, count - total, got))
            throw FileError{native_file::CauseOf(error), error, m_fullPath};
        if (got == 0) break;
        total += got;
    }
    return total;
}

void CFile::WriteString(std::string_view text) {
    // Text mode: every line feed reaches the file as CR LF (or stays LF).
    if (m_lfLineEnds) return WriteBuffered(text.data(), text.size());
    while (!text.empty()) {
        const void* found = std::memchr(text.data(), '\n', text.size());
        if (found == nullptr) {
            WriteBuffered(text.data(), text.size());
            return;
        }
        std::size_t plain = static_cast<const char*>(found) - text.data();
        WriteBuffered(text.data(), plain);
        WriteBuffered("\r\n", 2);
        text.remove_prefix(plain + 1);
    }
}

std::size_t CFile::CopyFrom(CFile& input, std::size_t count) {
    // What is buffered goes first: the system's copy goes where the file ends.
    if (auto error = DrainOutput()) ThrowWriteFailure(error);
    std::size_t total = 0;
    while (total < count) {
        std::size_t copied = 0;
        const std::int32_t error = native_file::Copy(input.m_handle.Get(), m_handle.Get(), count - total, copied);
        if (error == native_file::kCannotCopy) break;
        // The system does not say which side failed: the copy is this output's.
        if (error != 0) throw FileError{native_file::CauseOf(error), error, m_fullPath};
        if (copied == 0) return total;
        total += copied;
    }
    // Where the system cannot copy, the bytes pass through this process.
    std::vector<char> buffer(std::min<std::size_t>(count - total, kOutputBufferSize));
    while (total < count) {
        const std::size_t got = input.Read(buffer.data(), std::min(buffer.size(), count - total));
        if (got == 0) break;
        WriteBuffered(buffer.data(), got);
        total += got;
    }
    return total;
}

void CFile::WriteBuffered(const char* bytes, std::size_t count) {
    while (count > 0) {
        if (m_buffered == kOutputBufferSize) FlushBuffer();
        std::size_t take = std::min(count, kOutputBufferSize - m_buffered);
        std::memcpy(m_buffer.get() + m_buffered, bytes, take);
        m_buffered += take;
        bytes += take;
        count -= take;
    }
}

// Hands the filled buffer to the writer and goes on in a free one.
void CFile::FlushBuffer() {
    if (m_buffered == 0) return;
    if (!m_writer && !m_writeInline) {
        try {
            m_writer = std::make_unique<BackgroundWriter>(m_handle.Get(), kOutputBufferSize);
        } catch (const std::system_error&) {
            m_writeInline = true;  // no thread to be had: write on this one
        }
    }
    std::size_t count = std::exchange(m_buffered, 0);
    if (!m_writer) {
        if (auto error = native_file::WriteAll(m_handle.Get(), m_buffer.get(), count)) ThrowWriteFailure(error);
        return;
    }
    if (auto error = m_writer->Submit(m_buffer, count)) ThrowWriteFailure(error);
}

// Writes out what is buffered and waits until the system has it all;
// returns the first write error, or 0. The writer is gone afterwards.
std::int32_t CFile::DrainOutput() noexcept {
    const std::size_t count = std::exchange(m_buffered, 0);
    if (!m_writer) return native_file::WriteAll(m_handle.Get(), m_buffer.get(), count);  // nothing for 0 bytes
    // An earlier failure makes the writer refuse the block; its end says which.
    m_writer->Submit(m_buffer, count);
    const std::int32_t error = m_writer->Wait();
    m_writer.reset();
    return error;
}

void CFile::ThrowWriteFailure(std::int32_t systemCode) const {
    // By its real cause: a full disk, but also a pipe whose reader has gone.
    throw FileError{native_file::CauseOf(systemCode), systemCode, m_fullPath};
}

void CFile::ReserveSpace(std::uint64_t bytes) noexcept {
    native_file::Reserve(m_handle.Get(), bytes);  // a full disk shows at the writes
}

std::uint64_t CFile::Length() const {
    std::uint64_t length = 0;
    if (auto error = native_file::Length(m_handle.Get(), length))
        throw FileError{native_file::CauseOf(error), error, m_fullPath};
    return length;
}

FileStatus CFile::Status() const {
    FileStatus status;
    if (auto error = native_file::Status(m_handle.Get(), status))
        throw FileError{native_file::CauseOf(error), error, m_fullPath};
    if (status.creationTime == 0) status.creationTime = status.lastWriteTime;
    return status;
}

std::string CFile::FileName() const {
    std::string_view name = native_file::LastComponent(m_fullPath);
    return std::string(cp932::TruncateWhole(name, kMaxFileNameBytes));
}

void CFile::Finish() {
    if (m_mode != OpenMode::Output || !m_handle.IsValid()) return;
    std::int32_t error = DrainOutput();
    m_buffer.reset();
    auto handle = m_handle.Release();
    const std::int32_t closeError = m_ownsHandle ? native_file::Close(handle) : 0;
    if (error == 0) error = closeError;
    if (error == 0 && m_replacement) error = native_file::Prepare(*m_replacement);
    if (error != 0) {
        m_replacement.reset();  // given up: the file it was to replace stays as it was
        ThrowWriteFailure(error);
    }
}

void CFile::Close() {
    if (m_mode == OpenMode::Output) {
        Finish();
        if (auto replacement = std::move(m_replacement))
            if (auto error = native_file::Commit(*replacement)) ThrowWriteFailure(error);
        return;
    }
    if (!m_handle.IsValid()) return;
    if (auto error = native_file::Close(m_handle.Release()))
        throw FileError{native_file::CauseOf(error), error, m_fullPath};
}

void CFile::CloseQuietly() noexcept {
    // What is still buffered is not worth writing out: the output is given
    // up. Blocks the writer holds are written first (its end waits for them).
    m_writer.reset();
    if (m_ownsHandle) m_handle.Reset();
    else m_handle.Release();
    m_replacement.reset();
}
