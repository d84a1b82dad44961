#include "generator/ObjectForm.h"

#include <algorithm>
#include <string>

#include "generator/ArrayText.h"

namespace {

constexpr std::uint32_t kLengthBytes = 8;  // an unsigned long long
// The data is copied this much at a time (each copy costs the system a
// setting-up), whole chunks told to the caller.
constexpr std::uint64_t kPiece = 256 * source_format::kChunkSize;

std::uint64_t AlignedUp(std::uint64_t offset, std::uint32_t alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}

// Zero bytes up to `offset`.
void PadTo(CFile& output, std::uint64_t& at, std::uint64_t offset) {
    static const std::string kZeros(4096, '\0');
    for (; at < offset; at += std::min<std::uint64_t>(offset - at, kZeros.size()))
        output.WriteString(std::string_view(kZeros).substr(0, std::min<std::uint64_t>(offset - at, kZeros.size())));
}

}  // namespace

ObjectLayout ObjectLayoutOf(const std::vector<std::pair<ArrayForm, std::uint64_t>>& arrays) {
    const ArrayForm& first = arrays.front().first;
    ObjectLayout layout{first.target, first.section, 1, 0, {}};
    for (const auto& [form, length] : arrays) {
        const std::uint64_t offset = AlignedUp(layout.sectionSize, form.Alignment());
        const std::uint64_t size = ElementCount(form, length) * WidthOf(form.type);
        layout.symbols.push_back({form.name, offset, size});
        layout.sectionSize = offset + size;
        layout.alignment = std::max(layout.alignment, form.Alignment());
    }
    for (const auto& [form, length] : arrays) {
        if (form.lengthName.empty()) continue;
        const std::uint64_t offset = AlignedUp(layout.sectionSize, kLengthBytes);
        layout.symbols.push_back({form.lengthName, offset, kLengthBytes});
        layout.sectionSize = offset + kLengthBytes;
        layout.alignment = std::max(layout.alignment, kLengthBytes);
    }
    return layout;
}

std::optional<std::size_t> WriteObject(std::vector<CFile>& inputs,
                                       const std::vector<std::pair<ArrayForm, std::uint64_t>>& arrays, CFile& output,
                                       unsigned char* buffer, const std::function<void()>& chunkDone) {
    const ObjectLayout layout = ObjectLayoutOf(arrays);
    // Planned with the inputs' sizes before the run: an input that has
    // grown past what the format holds since has changed meanwhile.
    if (!WhyNotALayout(layout).empty()) return arrays.size() - 1;
    const std::string prologue = ObjectPrologue(layout), epilogue = ObjectEpilogue(layout);
    // Its size is known at once: the room for it all is set aside where the system allows.
    output.ReserveSpace(prologue.size() + layout.sectionSize + epilogue.size());
    output.WriteString(prologue);
    std::uint64_t at = 0;
    for (std::size_t i = 0; i < arrays.size(); ++i) {
        const ObjectSymbol& array = layout.symbols[i];
        PadTo(output, at, array.offset);
        // The bytes as they are: the system copies them where it can.
        const std::uint64_t length = arrays[i].second;
        for (std::uint64_t done = 0; done < length;) {
            const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, kPiece));
            if (output.CopyFrom(inputs[i], piece) < piece) return i;  // shorter than it was
            done += piece;
            for (std::size_t chunk = 0; chunk < piece / source_format::kChunkSize; ++chunk) chunkDone();
        }
        if (inputs[i].Read(buffer, 1) != 0) return i;  // longer than it was
        at += length;
        PadTo(output, at, array.offset + array.size);  // the last element's padding, and its zero
    }
    for (std::size_t i = arrays.size(); i < layout.symbols.size(); ++i) {
        PadTo(output, at, layout.symbols[i].offset);
        const auto& [form, length] = *std::find_if(arrays.begin(), arrays.end(), [&](const auto& array) {
            return array.first.lengthName == layout.symbols[i].name;
        });
        char bytes[kLengthBytes];
        for (std::uint32_t b = 0; b < kLengthBytes; ++b) bytes[b] = static_cast<char>(length >> (8 * b));  // little-endian
        output.WriteString({bytes, kLengthBytes});
        at += kLengthBytes;
    }
    output.WriteString(epilogue);
    return std::nullopt;
}
