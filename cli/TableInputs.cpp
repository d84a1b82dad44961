#include "cli/TableInputs.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/SystemText.h"

namespace fs = std::filesystem;

namespace {

std::string Why(const fs::path& path, std::error_code error) {
    if (error == std::errc::too_many_symbolic_link_levels) return "a loop of links at " + SystemTextOfPath(path);
    return SystemTextOfPath(path) + ": " + error.message();
}

// Adds the regular files under `folder` to `files`. `ancestors`: the real
// folders it lies in, for a link to one of them would lead round and round.
std::string Walk(const fs::path& folder, std::vector<fs::path>& ancestors, std::vector<TableFile>& files) {
    std::error_code error;
    const fs::path real = fs::canonical(folder, error);
    if (error) return Why(folder, error);
    if (std::find(ancestors.begin(), ancestors.end(), real) != ancestors.end())
        return "a loop of links: " + SystemTextOfPath(folder) + " leads back to " + SystemTextOfPath(real);
    ancestors.push_back(real);
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        // The entry knows its type from the folder's listing: only a link is looked up.
        const bool isFolder = entry->is_directory(error);
        const bool isFile = !error && entry->is_regular_file(error);
        if (error) return Why(entry->path(), error);
        if (isFolder) {
            if (auto why = Walk(entry->path(), ancestors, files); !why.empty()) return why;
        } else if (isFile) {
            const fs::path realPath =
                entry->is_symlink(error) ? fs::canonical(entry->path(), error) : real / entry->path().filename();
            if (error) return Why(entry->path(), error);
            files.push_back({SystemTextOfPath(entry->path()), {}, SystemTextOfPath(realPath)});
        }
    }
    if (error) return Why(folder, error);
    ancestors.pop_back();
    return {};
}

// `path` made absolute and normal (a separator at its end changes no relative path).
fs::path Normal(const fs::path& path) { return fs::absolute(path).lexically_normal(); }

}  // namespace

std::vector<TableFile> TableFiles(const std::vector<std::string>& inputs, const std::string& base, std::string& error) {
    const auto refuse = [&error](std::string why) {
        error = std::move(why);
        return std::vector<TableFile>{};
    };
    std::vector<TableFile> files;
    for (const std::string& input : inputs) {
        std::error_code statusError;
        const fs::path given = PathOfSystemText(input);
        const fs::file_status status = fs::status(given, statusError);
        if (statusError == std::errc::too_many_symbolic_link_levels) return refuse(Why(input, statusError));
        // A pipe or device has no length known before it is read.
        if (fs::exists(status) && !fs::is_directory(status) && !fs::is_regular_file(status))
            return refuse(input + " is neither a regular file nor a folder");
        // Absolute, so that no path needs the current folder again.
        if (!fs::is_directory(status)) {  // a file, or what the run finds there to report
            const fs::path path = Normal(given);
            files.push_back({SystemTextOfPath(path), {}, SystemTextOfPath(fs::weakly_canonical(path, statusError))});
            continue;
        }
        std::vector<fs::path> ancestors;
        const std::size_t before = files.size();
        if (auto why = Walk(Normal(given), ancestors, files); !why.empty()) return refuse(why);
        if (files.size() == before) return refuse("the folder " + input + " holds no file");
    }
    const fs::path root = Normal(PathOfSystemText(base.empty() ? "." : base));
    for (TableFile& file : files) {
        const fs::path relative = PathOfSystemText(file.path).lexically_relative(root);
        if (relative.empty() || *relative.begin() == ".." || relative == ".")
            return refuse(file.path + " is not below the base folder " + SystemTextOfPath(root));
        // With '/' between its parts: UTF-8 on Windows, the name's own bytes elsewhere.
        file.tablePath = relative.generic_string();
    }
    std::sort(files.begin(), files.end(),
              [](const TableFile& a, const TableFile& b) { return a.tablePath < b.tablePath; });
    const auto twice = std::adjacent_find(
        files.begin(), files.end(), [](const TableFile& a, const TableFile& b) { return a.tablePath == b.tablePath; });
    if (twice != files.end())
        return refuse(twice->path + " and " + (twice + 1)->path + " would both be found as " + twice->tablePath);
    return files;
}
