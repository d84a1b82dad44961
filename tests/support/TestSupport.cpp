#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace testing_support {

ScratchFolder::ScratchFolder() {
    static std::atomic<unsigned> counter{0};
    // (<chrono> cannot be included here: its "µs" literal has no code page 932 form.)
    m_path = std::filesystem::temp_directory_path() /
             ("arrayforge-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string ScratchFolder::operator/(std::string_view name) const {
    // Joined as bytes: std::filesystem would re-encode a code page 932 name.
    return m_path.string() + static_cast<char>(std::filesystem::path::preferred_separator) + std::string(name);
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string Pattern(std::size_t length) {
    std::string bytes(length, '\0');
    std::uint32_t state = 12345;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 23);
    }
    return bytes;
}

#ifndef _WIN32
std::string FullDevice(const ScratchFolder& folder) {
    const std::string path = folder / "full";
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0 ? path : "/dev/full";
}

std::vector<std::string> UnnamedFilesOpenIn(int pid, const std::filesystem::path& folder) {
    std::vector<std::string> found;
    std::error_code gone;  // the process may end meanwhile
    for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", gone)) {
        const std::string target = std::filesystem::read_symlink(entry.path(), gone).string();
        if (target.starts_with(folder.string() + "/") && target.ends_with(" (deleted)"))
            found.push_back(entry.path().string());
    }
    return found;
}
#endif

namespace {
const std::string kCreationLabel = "\xCC\xA7\xB2\xD9\x8D\xEC\x90\xAC\x93\xFA\x8E\x9E\x81\x46";
}

// Replaces the creation-time line by "@CREATED@" after checking that it
// carries the label and a local time close to now (the input was just made).
std::string MaskCreationTime(const std::string& text) {
    std::size_t start = 0;
    for (int line = 0; line < 3; ++line) start = text.find("\r\n", start) + 2;
    std::size_t end = text.find("\r\n", start);
    std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.substr(0, kCreationLabel.size()), kCreationLabel);
    std::tm fields{};
    int count = std::sscanf(line.c_str() + kCreationLabel.size(), "%2d/%2d/%2d %2d:%2d:%2d", &fields.tm_year,
                            &fields.tm_mon, &fields.tm_mday, &fields.tm_hour, &fields.tm_min, &fields.tm_sec);
    EXPECT_EQ(count, 6) << line;
    EXPECT_EQ(line.size(), kCreationLabel.size() + 17) << "every field two digits";
    fields.tm_year += 100;
    fields.tm_mon -= 1;
    fields.tm_isdst = -1;
    double age = std::difftime(std::time(nullptr), std::mktime(&fields));
    EXPECT_LT(std::abs(age), 300.0) << line;
    return text.substr(0, start) + "@CREATED@" + text.substr(end);
}

std::string GoldenFile(const std::string& name) {
    std::string content = ReadBytes(std::string(ARRAYFORGE_GOLDEN_DIR) + "/" + name);
    EXPECT_FALSE(content.empty()) << "no golden file " << name;
    return content;
}

bool RecordingUi::ConfirmOverwrite(std::string_view outputPath) {
    events.push_back("ask");
    if (m_answers.empty()) {
        ADD_FAILURE() << "a question nobody expected about " << outputPath;
        return false;
    }
    bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

}  // namespace testing_support
