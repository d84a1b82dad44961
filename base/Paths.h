#pragma once

#include <string>
#include <string_view>

// How path texts are stepped through. The program's own texts are code page
// 932, whose two-byte characters are never split; the command-line front end
// on a UTF-8 system steps byte by byte, which is safe there because no byte
// of a multibyte UTF-8 character looks like a separator or a dot.
enum class PathEncoding { CodePage932, ByteWise };

struct PathParts {
    std::string drive;      // "C:" when the second character is ':', else empty
    std::string directory;  // up to and including the last '\' or '/'
    std::string baseName;
    std::string extension;  // from the last '.' of the final component, dot included
};

PathParts SplitPath(std::string_view path, PathEncoding encoding = PathEncoding::CodePage932);

std::string MakePath(std::string_view drive, std::string_view directory, std::string_view baseName,
                     std::string_view extension, PathEncoding encoding = PathEncoding::CodePage932);

// Same folder and base name, the last extension (if any) replaced by
// `extension`: ReplaceExtension("C:\Tools\Tabulo.exe", ".chm") gives
// C:\Tools\Tabulo.chm.
std::string ReplaceExtension(std::string_view path, std::string_view extension,
                             PathEncoding encoding = PathEncoding::CodePage932);

// The output for an input: ReplaceExtension with ".c".
std::string DeriveOutputPath(std::string_view inputPath, PathEncoding encoding = PathEncoding::CodePage932);
