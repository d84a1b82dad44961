#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/BackgroundWriter.h"
#include "base/FileError.h"
#include "base/NativeFile.h"

enum class OpenMode {
    Input,  // read, others may read but not write, existing file only, bytes as they are
    // Write, text mode ("\n" becomes CR LF). A regular file is written as a
    // temporary that Close puts in its place, so the output is replaced
    // whole or not at all; a file already there is held with no sharing
    // until then. A device, a pipe or a standard stream named by its path
    // is written directly.
    Output,
};

// Whether an output written to `path` would replace a file that is there:
// a file's metadata is all that is asked for, so a file that cannot be read
// or is in use still counts, and nothing waits. A device, a pipe or a
// standard stream named by its path is written, not replaced.
bool OutputWouldReplace(std::string_view path);

// Times are seconds since 1970-01-01 UTC.
struct FileStatus {
    std::int64_t creationTime = 0;  // the last write where the system keeps none
    std::int64_t lastWriteTime = 0;
};

// One open file. Open reports its failure as a value; every other operation
// throws FileError naming the file. Output goes through large buffers in
// text mode, written by a background thread once there is more than one
// buffer's worth, a few buffers queued, so that formatting and writing
// overlap; a failed write is reported by a later call. An output destroyed
// while open is given up: its temporary file goes, the file it was to
// replace stays as it was (a device or pipe gets no more than it had).
class CFile {
public:
    CFile();
    ~CFile();
    CFile(CFile&&) = delete;
    CFile& operator=(CFile&&) = delete;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // `replaceExisting` (output only): a file at `path` may be replaced;
    // otherwise the open fails if there is one, and so does Close if one
    // has appeared meanwhile.
    [[nodiscard]] std::optional<FileError> Open(std::string_view path, OpenMode mode, bool replaceExisting = false);
    // Output mode on the process's standard output; Close leaves the stream open.
    [[nodiscard]] std::optional<FileError> OpenStandardOutput();
    bool IsOpen() const { return m_handle.IsValid(); }

    // Fills `buffer` as far as the file allows: fewer than `count` bytes only
    // at the end of the file.
    std::size_t Read(void* buffer, std::size_t count);
    void WriteString(std::string_view text);
    // Copies up to `count` bytes from where `input` is read to the end of
    // this output, as they are (the system copies them itself where it can,
    // with no pass through this process). Returns the bytes copied: fewer
    // only at the input's end.
    std::size_t CopyFrom(CFile& input, std::size_t count);

    // How a line end reaches an output file: CR LF, or LF alone once
    // UseLfLineEnds has been called on the open output.
    static constexpr std::string_view kLineEnd = "\r\n";
    static constexpr std::string_view kLfLineEnd = "\n";
    void UseLfLineEnds() { m_lfLineEnds = true; }
    std::string_view LineEnd() const { return m_lfLineEnds ? kLfLineEnd : kLineEnd; }
    // For callers that format in place: room for `bytes` (at most
    // kMaxReserve) in the output buffer; CommitRaw then says how many were
    // used. These bytes reach the file as they are, so line ends must
    // already be LineEnd().
    static constexpr std::size_t kMaxReserve = 4096;
    char* ReserveRaw(std::size_t bytes) {
        if (kOutputBufferSize - m_buffered < bytes) FlushBuffer();
        return m_buffer.get() + m_buffered;
    }
    void CommitRaw(std::size_t bytes) { m_buffered += bytes; }

    // Asks the system to set aside room for `bytes` of output in a file just
    // opened for output, without changing its size, so that it need not
    // allocate as the writes come. Where it cannot, nothing happens.
    void ReserveSpace(std::uint64_t bytes) noexcept;

    std::uint64_t Length() const;
    FileStatus Status() const;
    const std::string& FullPath() const { return m_fullPath; }
    // The last component of the full path, at most 255 bytes.
    std::string FileName() const;
    // An output's last buffers are written and what its replacement needs
    // is set aside: a failure here (a full disk) leaves the file it is to
    // replace as it was. Close then only puts it in place. For outputs that
    // must change together: Finish each, then Close each.
    void Finish();
    // An output is finished if it was not, and its temporary takes the
    // output's place: only now does the output change.
    void Close();

private:
    // Large enough that writes reach the system in big blocks; fixed, so
    // memory use does not grow with the file.
    static constexpr std::size_t kOutputBufferSize = 1024 * 1024;

    // Takes an open handle (closed by Close only when `owns`).
    void Adopt(native_file::Opened opened, bool owns, OpenMode mode);
    void WriteBuffered(const char* bytes, std::size_t count);
    void FlushBuffer();
    std::int32_t DrainOutput() noexcept;
    [[noreturn]] void ThrowWriteFailure(std::int32_t systemCode) const;
    void CloseQuietly() noexcept;

    NativeFile m_handle;
    bool m_ownsHandle = true;
    OpenMode m_mode = OpenMode::Input;
    std::string m_fullPath;
    native_file::PendingReplacement m_replacement;  // an output's way into its place
    std::unique_ptr<char[]> m_buffer;               // being filled
    std::size_t m_buffered = 0;
    std::unique_ptr<BackgroundWriter> m_writer;  // started when the first buffer is full
    bool m_writeInline = false;                  // no writer thread could be started
    bool m_lfLineEnds = false;
};
