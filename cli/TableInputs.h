#pragma once

// The files of a table (--table): each input a file, or a folder walked
// through its subfolders (links followed) for the regular files in them,
// each found in the table by its path below the base folder, '/' between
// its parts.

#include <string>
#include <vector>

struct TableFile {
    std::string path;       // where it is read from
    std::string tablePath;  // what the table finds it by
    std::string realPath;   // absolute, links resolved (for a walk knows it without asking the system)
};

// The files of `inputs`, sorted bytewise by their table paths: regular
// files, or paths not there for the run to report. A usage error in
// `error`: a path not below `base`, two files with one path, a folder
// without a file in it, a loop of links, an input that is neither a file
// nor a folder.
std::vector<TableFile> TableFiles(const std::vector<std::string>& inputs, const std::string& base, std::string& error);
