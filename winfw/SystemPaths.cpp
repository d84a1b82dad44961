#include "winfw/SystemPaths.h"

std::string ProgramPath(ModuleFileNameFunction moduleFileName) {
    // GetModuleFileNameA answers the length it copied; a path that did not
    // fit is cut and fills the whole buffer (with or without its zero,
    // depending on the Windows version), so a full buffer means "try larger".
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::string path(size, '\0');
        const DWORD length = moduleFileName(nullptr, path.data(), size);
        if (length == 0) return {};
        if (length < size - 1) {
            path.resize(length);
            return path;
        }
    }
    return {};
}

std::string SystemFolderFile(SystemFolderFunction folder, std::string_view fileName) {
    char directory[MAX_PATH] = {};
    // 0: failed; MAX_PATH or more: the buffer was too small and holds nothing.
    const UINT length = folder(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(directory, length).append("\\").append(fileName);
}
