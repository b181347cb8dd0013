#include "indir/surum_bilgisi.hpp"

#include <nlohmann/json.hpp>

#include <bitset>
#include <cstddef>
#include <utility>

namespace velmor {
namespace {

using Json = nlohmann::json;

// Two bodies the parser would take but strict JSON does not: it skips a
// leading byte-order mark, and it treats a NUL byte as the end of its input,
// so that anything after one would go unread. A NUL is never valid in JSON
// text (inside a string it is a raw control character), so a body holding one
// is refused whole.
constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";

bool parser_would_misread(std::string_view body) {
    return body.starts_with(UTF8_BOM) || body.find('\0') != std::string_view::npos;
}

// Where a value belongs. The array form takes them in this order.
enum class Field : std::size_t { version, download_url, sha256, size_bytes, skipped };
constexpr std::size_t FIELD_COUNT = 4;

Field field_named(const std::string& name) {
    if (name == "version") {
        return Field::version;
    }
    if (name == "download_url") {
        return Field::download_url;
    }
    if (name == "sha256") {
        return Field::sha256;
    }
    if (name == "size_bytes") {
        return Field::size_bytes;
    }
    return Field::skipped;
}

// Builds the record straight from the parser's events. Only values at depth 1
// (members of the top-level object, elements of the top-level array) are
// looked at; whatever sits below a skipped member is read for syntax only.
// Returning false stops the parser, which then reports failure.
class ManifestReader {
public:
    bool null() { return place_value() == Field::skipped; }
    bool boolean(bool /*value*/) { return place_value() == Field::skipped; }
    // Signed: a minus sign was written, also in -0.
    bool number_integer(Json::number_integer_t /*value*/) {
        return place_value() == Field::skipped;
    }
    // Fractions, exponents and integers above the unsigned 64-bit range.
    bool number_float(Json::number_float_t /*value*/, const Json::string_t& /*text*/) {
        return place_value() == Field::skipped;
    }
    bool number_unsigned(Json::number_unsigned_t value) {
        const auto field = place_value();
        if (field == Field::size_bytes) {
            record_.size_bytes = value;
            return true;
        }
        return field == Field::skipped;
    }
    bool string(Json::string_t& value) {
        const auto field = place_value();
        if (!field || *field == Field::size_bytes) {
            return false;
        }
        if (*field != Field::skipped) {
            text_field(*field) = std::move(value);
        }
        return true;
    }
    // Only the binary formats produce these. (Members, not static: the
    // parser calls every event through the handler.)
    // NOLINTNEXTLINE(readability-convert-member-functions-to-static)
    bool binary(Json::binary_t& /*value*/) { return false; }

    bool start_object(std::size_t /*size*/) { return open(Form::object); }
    bool start_array(std::size_t /*size*/) { return open(Form::array); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool key(Json::string_t& name) {
        if (depth_ != 1) {
            return true;
        }
        current_ = field_named(name);
        if (current_ == Field::skipped) {
            return true;
        }
        if (has(current_)) {
            return false;
        }
        seen_.set(static_cast<std::size_t>(current_));
        return true;
    }

    // Which violation, and where, is of no interest: all are one outcome.
    // NOLINTNEXTLINE(readability-convert-member-functions-to-static)
    bool parse_error(std::size_t /*position*/, const std::string& /*token*/,
                     const Json::exception& /*error*/) {
        return false;
    }

    std::optional<Manifest> take() && {
        if (!complete_) {
            return std::nullopt;
        }
        return std::move(record_);
    }

private:
    enum class Form { none, object, array };

    // The field that the value now starting fills: skipped for anything below
    // depth 1 and for members with other names; none where no value may
    // stand (at the top level, or as a fifth array element).
    std::optional<Field> place_value() {
        if (depth_ > 1) {
            return Field::skipped;
        }
        if (depth_ == 0) {
            return std::nullopt;
        }
        if (form_ == Form::array) {
            if (elements_ == FIELD_COUNT) {
                return std::nullopt;
            }
            return static_cast<Field>(elements_++);
        }
        return current_;
    }

    bool open(Form form) {
        if (depth_ == 0) {
            if (form_ != Form::none) {
                return false;
            }
            form_ = form;
            depth_ = 1;
            return true;
        }
        // No recognised field holds a container.
        if (place_value() != Field::skipped) {
            return false;
        }
        ++depth_;
        return true;
    }

    bool close() {
        --depth_;
        if (depth_ > 0) {
            return true;
        }
        // version and download_url are required; the array form has them
        // once it has two elements.
        complete_ = form_ == Form::object ? has(Field::version) && has(Field::download_url)
                                          : elements_ >= 2;
        return complete_;
    }

    [[nodiscard]] bool has(Field field) const {
        return seen_.test(static_cast<std::size_t>(field));
    }

    std::string& text_field(Field field) {
        switch (field) {
            case Field::version:
                return record_.version;
            case Field::download_url:
                return record_.download_url;
            default:
                return record_.sha256;
        }
    }

    Manifest record_;
    Form form_ = Form::none;
    std::size_t depth_ = 0;
    Field current_ = Field::skipped;
    std::bitset<FIELD_COUNT> seen_;
    std::size_t elements_ = 0;
    bool complete_ = false;
};

}  // namespace

std::optional<Manifest> decode_manifest(std::string_view body) noexcept {
    if (parser_would_misread(body)) {
        return std::nullopt;
    }
    ManifestReader reader;
    const char* const begin = body.data();
    // Strict: only white space may follow the value. Comments are not JSON.
    if (!Json::sax_parse(begin, begin + body.size(), &reader, nlohmann::json::input_format_t::json,
                         /*strict=*/true, /*ignore_comments=*/false)) {
        return std::nullopt;
    }
    return std::move(reader).take();
}

}  // namespace velmor
