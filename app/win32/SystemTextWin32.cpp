#include "app/SystemText.h"

std::string SystemTextToCodePage932(std::string_view text) { return std::string(text); }

std::string CodePage932ToSystemText(std::string_view text) { return std::string(text); }

PathEncoding SystemPathEncoding() { return PathEncoding::CodePage932; }
