#include "indir/adres_kodlama.hpp"

#include <algorithm>

namespace velmor::url_detail {

int hex_value(char c) {
    if (is_ascii_digit(c)) {
        return c - '0';
    }
    return ascii_lower(c) - 'a' + 10;
}

bool in_encode_set(char byte, EncodeSet set) {
    const auto c = static_cast<unsigned char>(byte);
    // C0 controls and everything above '~' are in every set.
    if (c < 0x20 || c > 0x7E) {
        return true;
    }
    const auto any_of = [c](std::string_view chars) {
        return chars.find(static_cast<char>(c)) != std::string_view::npos;
    };
    switch (set) {
        case EncodeSet::c0_control:
            return false;
        case EncodeSet::fragment:
            return any_of(" \"<>`");
        case EncodeSet::query:
            return any_of(" \"#<>");
        case EncodeSet::special_query:
            return any_of(" \"#<>'");
        case EncodeSet::path:
            return any_of(" \"#<>?^`{}");
        case EncodeSet::userinfo:
            return any_of(" \"#<>?^`{}/:;=@[\\]|");
    }
    return true;
}

void append_percent_encoded(std::string& out, char byte, EncodeSet set) {
    if (!in_encode_set(byte, set)) {
        out.push_back(byte);
        return;
    }
    static constexpr std::string_view DIGITS = "0123456789ABCDEF";
    const auto value = static_cast<unsigned char>(byte);
    out.push_back('%');
    out.push_back(DIGITS[value >> 4U]);
    out.push_back(DIGITS[value & 0x0FU]);
}

std::string percent_encode(std::string_view bytes, EncodeSet set) {
    std::string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        append_percent_encoded(out, byte, set);
    }
    return out;
}

std::string percent_decode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && is_ascii_hex_digit(text[i + 1]) &&
            is_ascii_hex_digit(text[i + 2])) {
            out.push_back(static_cast<char>(hex_value(text[i + 1]) * 16 + hex_value(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}  // namespace velmor::url_detail
