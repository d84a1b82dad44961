#include "tests/win/resources/ResourceReader.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace restest {

std::span<const std::uint8_t> FindRawResource(ResourceType type, WORD name, WORD language) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceExW(module, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(name), language);
    if (info == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, info);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};
    return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, info)};
}

namespace {

// Sequential little-endian reader over a resource's bytes.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data) {}

    std::size_t Offset() const { return m_offset; }
    std::size_t Size() const { return m_data.size(); }

    void Need(std::size_t count) const {
        if (count > m_data.size() || m_offset > m_data.size() - count)
            throw std::runtime_error("resource data cut short at offset " + std::to_string(m_offset));
    }
    std::uint8_t Byte() {
        Need(1);
        return m_data[m_offset++];
    }
    std::uint16_t Word() {
        Need(2);
        std::uint16_t value = static_cast<std::uint16_t>(m_data[m_offset] | (m_data[m_offset + 1] << 8));
        m_offset += 2;
        return value;
    }
    std::int16_t Short() { return static_cast<std::int16_t>(Word()); }
    std::uint32_t Dword() {
        std::uint32_t low = Word();
        std::uint32_t high = Word();
        return low | (high << 16);
    }
    std::u16string String() {
        std::u16string text;
        for (std::uint16_t c = Word(); c != 0; c = Word()) text.push_back(static_cast<char16_t>(c));
        return text;
    }
    NameOrOrdinal NameOrOrd() {
        NameOrOrdinal result;
        Need(2);
        std::uint16_t first = static_cast<std::uint16_t>(m_data[m_offset] | (m_data[m_offset + 1] << 8));
        if (first == 0xFFFF) {
            Word();
            result.isOrdinal = true;
            result.ordinal = Word();
        } else {
            result.text = String();
        }
        return result;
    }
    std::vector<std::uint8_t> Bytes(std::size_t count) {
        Need(count);
        std::vector<std::uint8_t> bytes(m_data.begin() + static_cast<std::ptrdiff_t>(m_offset),
                                        m_data.begin() + static_cast<std::ptrdiff_t>(m_offset + count));
        m_offset += count;
        return bytes;
    }
    void AlignDword() {
        std::size_t aligned = (m_offset + 3) & ~static_cast<std::size_t>(3);
        if (aligned > m_data.size()) throw std::runtime_error("resource data cut short before padding");
        m_offset = aligned;
    }
    void Seek(std::size_t offset) {
        if (offset > m_data.size()) throw std::runtime_error("resource offset out of range");
        m_offset = offset;
    }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_offset = 0;
};

} // namespace

DialogTemplate ParseDialogTemplate(std::span<const std::uint8_t> data) {
    ByteReader in(data);
    DialogTemplate dialog;
    in.Need(4);
    std::uint16_t count = 0;
    if (data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF) {
        dialog.extended = true;
        in.Word();   // version
        in.Word();   // signature
        dialog.helpId = in.Dword();
        dialog.exStyle = in.Dword();
        dialog.style = in.Dword();
    } else {
        dialog.style = in.Dword();
        dialog.exStyle = in.Dword();
    }
    count = in.Word();
    dialog.x = in.Short();
    dialog.y = in.Short();
    dialog.cx = in.Short();
    dialog.cy = in.Short();
    dialog.menu = in.NameOrOrd();
    dialog.windowClass = in.NameOrOrd();
    dialog.title = in.String();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.hasFont = true;
        dialog.pointSize = in.Word();
        if (dialog.extended) {
            dialog.weight = in.Word();
            dialog.italic = in.Byte();
            dialog.charset = in.Byte();
        }
        dialog.typeface = in.String();
    }
    for (std::uint16_t i = 0; i < count; ++i) {
        in.AlignDword();
        DialogItem item;
        if (dialog.extended) {
            item.helpId = in.Dword();
            item.exStyle = in.Dword();
            item.style = in.Dword();
        } else {
            item.style = in.Dword();
            item.exStyle = in.Dword();
        }
        item.x = in.Short();
        item.y = in.Short();
        item.cx = in.Short();
        item.cy = in.Short();
        item.id = dialog.extended ? in.Dword() : in.Word();
        item.windowClass = in.NameOrOrd();
        item.title = in.NameOrOrd();
        std::uint16_t extra = in.Word();   // bytes of creation data that follow
        item.creationData = in.Bytes(extra);
        dialog.items.push_back(std::move(item));
    }
    dialog.usedBytes = in.Offset();
    return dialog;
}

std::string ClassName(const NameOrOrdinal& windowClass) {
    if (windowClass.isOrdinal) {
        switch (windowClass.ordinal) {
        case 0x80: return "Button";
        case 0x81: return "Edit";
        case 0x82: return "Static";
        case 0x83: return "ListBox";
        case 0x84: return "ScrollBar";
        case 0x85: return "ComboBox";
        default: return std::string("#").append(std::to_string(windowClass.ordinal));
        }
    }
    return Escape(windowClass.text);
}

std::u16string VersionNode::Text() const {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
        char16_t c = static_cast<char16_t>(value[i] | (value[i + 1] << 8));
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

const VersionNode* VersionNode::Child(std::u16string_view childKey) const {
    for (const VersionNode& child : children)
        if (child.key == childKey) return &child;
    return nullptr;
}

namespace {

VersionNode ParseVersionNode(ByteReader& in) {
    std::size_t start = in.Offset();
    VersionNode node;
    std::uint16_t length = in.Word();
    if (length < 6) throw std::runtime_error("version node shorter than its header");
    in.Need(length - 2u);
    std::size_t end = start + length;
    node.valueLength = in.Word();
    node.type = in.Word();
    node.key = in.String();
    in.AlignDword();
    std::size_t valueBytes = node.type == 1 ? node.valueLength * 2u : node.valueLength;
    if (in.Offset() + valueBytes > end) throw std::runtime_error("version value runs past its node");
    node.value = in.Bytes(valueBytes);
    while (true) {
        std::size_t aligned = (in.Offset() + 3) & ~static_cast<std::size_t>(3);
        if (aligned >= end) break;
        in.Seek(aligned);
        node.children.push_back(ParseVersionNode(in));
    }
    if (in.Offset() > end) throw std::runtime_error("version node runs past its length");
    in.Seek(end);
    return node;
}

} // namespace

VersionNode ParseVersionRecord(std::span<const std::uint8_t> data) {
    ByteReader in(data);
    return ParseVersionNode(in);
}

std::vector<const XmlElement*> XmlElement::Children(std::string_view childName) const {
    std::vector<const XmlElement*> found;
    for (const XmlElement& child : children)
        if (child.name == childName) found.push_back(&child);
    return found;
}

namespace {

class XmlParser {
public:
    explicit XmlParser(std::string_view text) : m_text(text) {}

    XmlDocument Parse() {
        XmlDocument document;
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF") m_pos = 3;
        if (m_text.substr(m_pos, 5) == "<?xml") {
            m_pos += 5;
            document.declaration = Attributes("?>");
        }
        SkipMisc();
        document.root = Element();
        SkipMisc();
        if (m_pos != m_text.size()) Fail("text after the root element");
        return document;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error("manifest: " + what + " at offset " + std::to_string(m_pos));
    }
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool IsNameChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == ':' || c == '_' || c == '-' || c == '.';
    }
    void SkipSpace() {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos])) ++m_pos;
    }
    void SkipMisc() {
        while (true) {
            SkipSpace();
            if (m_text.substr(m_pos, 4) == "<!--") {
                std::size_t end = m_text.find("-->", m_pos);
                if (end == std::string_view::npos) Fail("unterminated comment");
                m_pos = end + 3;
            } else {
                return;
            }
        }
    }
    std::string Name() {
        std::size_t start = m_pos;
        while (m_pos < m_text.size() && IsNameChar(m_text[m_pos])) ++m_pos;
        if (start == m_pos) Fail("name expected");
        return std::string(m_text.substr(start, m_pos - start));
    }
    std::string Decode(std::string_view raw) const {
        std::string out;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '&') {
                out.push_back(raw[i]);
                continue;
            }
            std::size_t end = raw.find(';', i);
            if (end == std::string_view::npos) Fail("unterminated entity");
            std::string_view entity = raw.substr(i + 1, end - i - 1);
            if (entity == "amp") out.push_back('&');
            else if (entity == "lt") out.push_back('<');
            else if (entity == "gt") out.push_back('>');
            else if (entity == "quot") out.push_back('"');
            else if (entity == "apos") out.push_back('\'');
            else Fail("unknown entity");
            i = end;
        }
        return out;
    }
    // Attributes up to `close` ("?>", "/>" or ">"); leaves m_pos after it.
    std::map<std::string, std::string> Attributes(std::string_view close, bool* selfClosing = nullptr) {
        std::map<std::string, std::string> attributes;
        while (true) {
            SkipSpace();
            if (m_text.substr(m_pos, close.size()) == close) {
                m_pos += close.size();
                return attributes;
            }
            if (selfClosing != nullptr && m_text.substr(m_pos, 2) == "/>") {
                m_pos += 2;
                *selfClosing = true;
                return attributes;
            }
            std::string name = Name();
            SkipSpace();
            if (m_pos >= m_text.size() || m_text[m_pos] != '=') Fail("'=' expected");
            ++m_pos;
            SkipSpace();
            if (m_pos >= m_text.size() || (m_text[m_pos] != '"' && m_text[m_pos] != '\'')) Fail("quote expected");
            char quote = m_text[m_pos++];
            std::size_t end = m_text.find(quote, m_pos);
            if (end == std::string_view::npos) Fail("unterminated attribute");
            if (!attributes.emplace(name, Decode(m_text.substr(m_pos, end - m_pos))).second)
                Fail("attribute given twice");
            m_pos = end + 1;
        }
    }
    XmlElement Element() {
        if (m_pos >= m_text.size() || m_text[m_pos] != '<') Fail("element expected");
        ++m_pos;
        XmlElement element;
        element.name = Name();
        bool selfClosing = false;
        element.attributes = Attributes(">", &selfClosing);
        if (selfClosing) return element;
        std::string text;
        while (true) {
            std::size_t next = m_text.find('<', m_pos);
            if (next == std::string_view::npos) Fail("unterminated element " + element.name);
            text += Decode(m_text.substr(m_pos, next - m_pos));
            m_pos = next;
            if (m_text.substr(m_pos, 4) == "<!--") {
                SkipMisc();
            } else if (m_text.substr(m_pos, 2) == "</") {
                m_pos += 2;
                if (Name() != element.name) Fail("mismatched end tag of " + element.name);
                SkipSpace();
                if (m_pos >= m_text.size() || m_text[m_pos] != '>') Fail("'>' expected");
                ++m_pos;
                break;
            } else {
                element.children.push_back(Element());
            }
        }
        std::size_t first = 0;
        while (first < text.size() && IsSpace(text[first])) ++first;
        std::size_t last = text.size();
        while (last > first && IsSpace(text[last - 1])) --last;
        element.text = text.substr(first, last - first);
        return element;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace

XmlDocument ParseXml(std::string_view text) {
    return XmlParser(text).Parse();
}

std::string Escape(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    return out;
}

std::string EscapeBytes(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            out.push_back(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned>(b));
            out += buffer;
        }
    }
    return out;
}

std::string Hex32(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(value));
    return buffer;
}

} // namespace restest
