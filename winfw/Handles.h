#pragma once

// Owners for the Windows handles of the user interface: UniqueHandle
// (base/UniqueHandle.h) with one Traits per way Windows releases a handle.
// Only own what you must release: shared resources (LoadIcon, LoadCursor,
// stock objects) and predefined registry roots are never owned.

#include <windows.h>

#include "base/UniqueHandle.h"

// Fonts, brushes, bitmaps (LoadBitmap and CreateXxx alike), pens: DeleteObject.
// The object must not be selected into a device context when released.
template <class Handle>
struct GdiObjectTraits {
    using Type = Handle;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::DeleteObject(handle); }
};

// Icons and cursors made by CreateIcon, CopyIcon, LoadImage without LR_SHARED.
struct IconTraits {
    using Type = HICON;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::DestroyIcon(handle); }
};

// Modules loaded with LoadLibrary (not GetModuleHandle, which adds no reference).
struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::FreeLibrary(handle); }
};

// Keys opened or created with RegOpenKeyEx / RegCreateKeyEx.
struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::RegCloseKey(handle); }
};

// Windows the owner created itself. DestroyWindow works only on the thread
// that created the window, so the owner must be released on that thread.
struct WindowTraits {
    using Type = HWND;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::DestroyWindow(handle); }
};

// Processes, threads, events, jobs: CloseHandle; none is null.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};

// Files from CreateFile: CloseHandle; none is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};

// Searches from FindFirstFile: FindClose.
struct FileSearchTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) noexcept { ::FindClose(handle); }
};

using UniqueGdiObject = UniqueHandle<GdiObjectTraits<HGDIOBJ>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueRegKey = UniqueHandle<RegistryKeyTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFileSearch = UniqueHandle<FileSearchTraits>;
