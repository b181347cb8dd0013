#include "ortak/metin.hpp"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace velmor {
namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

void append_utf16(std::wstring& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<wchar_t>(cp));
    }
}

void append_utf8(std::string& out, char32_t cp) {
    auto put = [&out](std::uint32_t byte) { out.push_back(static_cast<char>(byte)); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6));
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18));
        put(0x80 | ((cp >> 12) & 0x3F));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
}

// Decodes one scalar value at `pos`, advancing past it, or past the maximal
// ill-formed subpart (yielding nothing).
std::optional<char32_t> decode_utf8(std::string_view s, std::size_t& pos) {
    const auto byte = [&s](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    const std::uint8_t lead = byte(pos++);
    if (lead < 0x80) {
        return lead;
    }
    std::size_t needed = 0;
    char32_t cp = 0;
    std::uint8_t lower = 0x80;
    std::uint8_t upper = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 1;
        cp = lead & 0x1FU;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 2;
        cp = lead & 0x0FU;
        lower = lead == 0xE0 ? 0xA0 : 0x80;
        upper = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 3;
        cp = lead & 0x07U;
        lower = lead == 0xF0 ? 0x90 : 0x80;
        upper = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < needed; ++i) {
        if (pos >= s.size() || byte(pos) < lower || byte(pos) > upper) {
            return std::nullopt;
        }
        cp = (cp << 6) | (byte(pos++) & 0x3FU);
        lower = 0x80;
        upper = 0xBF;
    }
    return cp;
}

// Unicode's White_Space property, complete.
bool is_white_space(char32_t cp) {
    switch (cp) {
        case 0x0009:
        case 0x000A:
        case 0x000B:
        case 0x000C:
        case 0x000D:
        case 0x0020:
        case 0x0085:
        case 0x00A0:
        case 0x1680:
        case 0x2028:
        case 0x2029:
        case 0x202F:
        case 0x205F:
        case 0x3000:
            return true;
        default:
            return cp >= 0x2000 && cp <= 0x200A;
    }
}

}  // namespace

std::wstring to_wide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        append_utf16(out, decode_utf8(utf8, pos).value_or(REPLACEMENT));
    }
    return out;
}

bool is_well_formed_utf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (!decode_utf8(text, pos)) {
            return false;
        }
    }
    return true;
}

std::optional<std::u32string> to_utf32(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto cp = decode_utf8(utf8, pos);
        if (!cp) {
            return std::nullopt;
        }
        out.push_back(*cp);
    }
    return out;
}

std::string to_utf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t cp : text) {
        const bool scalar = cp < 0xD800 || (cp > 0xDFFF && cp <= 0x10FFFF);
        append_utf8(out, scalar ? cp : REPLACEMENT);
    }
    return out;
}

std::string to_utf8(std::wstring_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const auto unit = static_cast<char32_t>(utf16[i]) & 0xFFFFU;
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < utf16.size()) {
            const auto next = static_cast<char32_t>(utf16[i + 1]) & 0xFFFFU;
            if (next >= 0xDC00 && next <= 0xDFFF) {
                append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        append_utf8(out, (high || low) ? REPLACEMENT : unit);
    }
    return out;
}

std::string_view trim_white_space(std::string_view utf8) {
    std::size_t begin = utf8.size();
    std::size_t end = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        const auto cp = decode_utf8(utf8, pos);
        if (!cp || !is_white_space(*cp)) {
            begin = std::min(begin, start);
            end = pos;
        }
    }
    return begin < end ? utf8.substr(begin, end - begin) : std::string_view();
}

}  // namespace velmor
