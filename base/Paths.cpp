#include "base/Paths.h"

#include "base/CodePage932.h"

namespace {

std::size_t CharLength(std::string_view text, std::size_t pos, PathEncoding encoding) {
    return encoding == PathEncoding::CodePage932 ? cp932::CharLength(text, pos) : 1;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

PathParts SplitPath(std::string_view path, PathEncoding encoding) {
    PathParts parts;
    if (path.size() >= 2 && path[1] == ':' && CharLength(path, 0, encoding) == 1) {
        parts.drive = path.substr(0, 2);
        path.remove_prefix(2);
    }
    std::size_t directoryEnd = 0;
    std::size_t lastDot = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); i += CharLength(path, i, encoding)) {
        if (IsSeparator(path[i])) {
            directoryEnd = i + 1;
            lastDot = std::string_view::npos;
        } else if (path[i] == '.') {
            lastDot = i;
        }
    }
    parts.directory = path.substr(0, directoryEnd);
    std::string_view last = path.substr(directoryEnd);
    if (lastDot == std::string_view::npos) {
        parts.baseName = last;
    } else {
        parts.baseName = last.substr(0, lastDot - directoryEnd);
        parts.extension = last.substr(lastDot - directoryEnd);
    }
    return parts;
}

std::string MakePath(std::string_view drive, std::string_view directory, std::string_view baseName,
                     std::string_view extension, PathEncoding encoding) {
    std::string path;
    if (!drive.empty()) {
        path += drive.front();
        path += ':';
    }
    if (!directory.empty()) {
        path += directory;
        char lastChar = 0;
        for (std::size_t i = 0; i < directory.size();) {
            std::size_t length = CharLength(directory, i, encoding);
            lastChar = length == 1 ? directory[i] : 0;
            i += length;
        }
        if (!IsSeparator(lastChar)) path += '\\';
    }
    path += baseName;
    if (!extension.empty()) {
        if (extension.front() != '.') path += '.';
        path += extension;
    }
    return path;
}

std::string ReplaceExtension(std::string_view path, std::string_view extension, PathEncoding encoding) {
    PathParts parts = SplitPath(path, encoding);
    return MakePath(parts.drive, parts.directory, parts.baseName, extension, encoding);
}

std::string DeriveOutputPath(std::string_view inputPath, PathEncoding encoding) {
    return ReplaceExtension(inputPath, ".c", encoding);
}
