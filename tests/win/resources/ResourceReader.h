#pragma once

// Reads the compiled resources of the running test program (which links the
// program's resource script) in their raw form, so that the tests see the
// bytes that the dialog manager, the string loader and the version functions
// will see. Every reader throws std::runtime_error on data that is cut short
// or does not have the expected form.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace restest {

// Language of every resource of the program.
inline constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// Resource types by number (the RT_ macros follow the A/W choice of the build).
enum ResourceType : WORD {
    kCursorImage = 1,
    kBitmap = 2,
    kIconImage = 3,
    kDialog = 5,
    kStringBlock = 6,
    kCursorGroup = 12,
    kIconGroup = 14,
    kVersion = 16,
    kManifest = 24,
};

// The bytes of one resource of this module in the given language; empty span
// when there is no such resource.
std::span<const std::uint8_t> FindRawResource(ResourceType type, WORD name, WORD language = kJapanese);

// A name or an ordinal, as dialog templates store menus, classes and texts.
struct NameOrOrdinal {
    bool isOrdinal = false;
    std::uint16_t ordinal = 0;
    std::u16string text;

    bool IsNone() const { return !isOrdinal && text.empty(); }
};

struct DialogItem {
    std::uint32_t helpId = 0;   // extended templates only
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;       // 16 bits in a classic template
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
    std::vector<std::uint8_t> creationData;
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string title;
    bool hasFont = false;
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;   // extended templates only
    std::uint8_t italic = 0;    // extended templates only
    std::uint8_t charset = 0;   // extended templates only
    std::u16string typeface;
    std::vector<DialogItem> items;
    std::size_t usedBytes = 0;  // end of the last item
};

// Parses a DLGTEMPLATEEX (first WORDs 1, 0xFFFF) or a DLGTEMPLATE.
DialogTemplate ParseDialogTemplate(std::span<const std::uint8_t> data);

// The name of a control's class as the dialog manager resolves it: the
// predefined ordinals 0x80 to 0x85 become "Button", "Edit", "Static",
// "ListBox", "ScrollBar" and "ComboBox".
std::string ClassName(const NameOrOrdinal& windowClass);

// One node of a version record (VS_VERSIONINFO, StringFileInfo, a string
// table, a string, VarFileInfo, Var).
struct VersionNode {
    std::u16string key;
    std::uint16_t type = 0;          // 1 text, 0 binary
    std::uint16_t valueLength = 0;   // in characters for text, in bytes for binary
    std::vector<std::uint8_t> value; // raw bytes of the value as stored
    std::vector<VersionNode> children;

    // The value read as text up to its first terminator.
    std::u16string Text() const;
    const VersionNode* Child(std::u16string_view childKey) const;
};

VersionNode ParseVersionRecord(std::span<const std::uint8_t> data);

// A small reader for the application manifest: elements with attributes and
// text, no DTD, no CDATA, no entities other than the five predefined ones.
struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text;   // character data directly inside, trimmed
    std::vector<XmlElement> children;

    // Children with this name, in document order.
    std::vector<const XmlElement*> Children(std::string_view childName) const;
};

struct XmlDocument {
    std::map<std::string, std::string> declaration;   // attributes of <?xml ...?>
    XmlElement root;
};

XmlDocument ParseXml(std::string_view text);

// Printable form of a UTF-16 text: ASCII as it is, everything else as \uXXXX,
// so that failures show exactly which code points differ.
std::string Escape(std::u16string_view text);
// Printable form of a byte string: ASCII as it is, other bytes as \xXX.
std::string EscapeBytes(std::string_view bytes);
std::string Hex32(std::uint32_t value);

} // namespace restest
