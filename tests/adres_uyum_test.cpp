// The URL Standard's conformance data, read in place from the folder named on
// the command line: the parser cases without a base URL and the host cases
// of toascii.json and IdnaTestV2.json. Cases whose input is ASCII must match
// exactly. The others go through the platform's IDNA and may differ only by
// failing where the data expects a host ("fail closed"), never by parsing
// what should fail or by yielding another URL.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "indir/adres.hpp"

namespace velmor {
namespace {

using nlohmann::json;

std::filesystem::path& data_folder() {
    static std::filesystem::path folder;
    return folder;
}

std::optional<unsigned> escaped_unit(const std::string& text, std::size_t at) {
    if (at + 6 > text.size() || text.compare(at, 2, "\\u") != 0) {
        return std::nullopt;
    }
    unsigned unit = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const char c = text[i];
        const bool digit = c >= '0' && c <= '9';
        const bool letter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit && !letter) {
            return std::nullopt;
        }
        unit = unit * 16 + static_cast<unsigned>(digit ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    return unit;
}

// The data escapes some lone surrogates, which its own harness hands to the
// parser as U+FFFD (as any conversion to a scalar value string does); the
// JSON parser refuses them, so they become "\uFFFD" first.
std::string with_lone_surrogates_replaced(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto unit = escaped_unit(text, i);
        if (!unit) {
            out.push_back(text[i]);
            if (text[i] == '\\' && i + 1 < text.size()) {
                out.push_back(text[++i]);  // an escaped character, perhaps a backslash
            }
            continue;
        }
        const bool high = *unit >= 0xD800 && *unit <= 0xDBFF;
        const auto next = escaped_unit(text, i + 6);
        if (high && next && *next >= 0xDC00 && *next <= 0xDFFF) {
            out.append(text, i, 12);
            i += 11;
        } else if (*unit >= 0xD800 && *unit <= 0xDFFF) {
            out += "\\uFFFD";
            i += 5;
        } else {
            out.append(text, i, 6);
            i += 5;
        }
    }
    return out;
}

std::optional<json> load(const std::string& name) {
    std::ifstream file(data_folder() / name, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    json parsed = json::parse(with_lone_surrogates_replaced(text.str()), nullptr, false);
    if (parsed.is_discarded() || !parsed.is_array()) {
        return std::nullopt;
    }
    return parsed;
}

std::string string_field(const json& object, const char* key) {
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

bool is_ascii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Tallies the cases and enforces the rule above. `mismatch` is empty when our
// answer is the expected one.
class Verdicts {
public:
    void add(const std::string& input, bool expects_failure, const std::optional<Url>& url,
             const std::string& mismatch) {
        if (is_ascii(input)) {
            ++ascii_;
            EXPECT_EQ(mismatch, "") << testing::PrintToString(input);
            return;
        }
        ++non_ascii_;
        if (mismatch.empty()) {
            ++non_ascii_passing_;
            return;
        }
        const bool failed_closed = !url && !expects_failure;
        EXPECT_TRUE(failed_closed) << testing::PrintToString(input) << ": " << mismatch;
    }

    void report(const std::string& what) const {
        std::cout << what << ": " << ascii_
                  << " ASCII cases; non-ASCII cases passing: " << non_ascii_passing_ << " of "
                  << non_ascii_ << " (the rest fail closed)\n";
        testing::Test::RecordProperty("ascii_cases", ascii_);
        testing::Test::RecordProperty("non_ascii_cases", non_ascii_);
        testing::Test::RecordProperty("non_ascii_passing", non_ascii_passing_);
    }

private:
    int ascii_ = 0;
    int non_ascii_ = 0;
    int non_ascii_passing_ = 0;
};

std::string compare_fields(const json& expected, const Url& url) {
    const std::pair<const char*, std::string> actual[] = {
        {"href", url.href()},       {"protocol", url.protocol()}, {"username", url.username},
        {"password", url.password}, {"host", url.host_text()},    {"hostname", url.hostname()},
        {"port", url.port_text()},  {"pathname", url.pathname()}, {"search", url.search()},
        {"hash", url.hash()},
    };
    std::string mismatch;
    for (const auto& [name, value] : actual) {
        const std::string want = string_field(expected, name);
        if (value != want) {
            mismatch += std::string(name) + " is " + testing::PrintToString(value) + ", expected " +
                        testing::PrintToString(want) + "; ";
        }
    }
    return mismatch;
}

std::string compare_case(const json& expected, bool expects_failure,
                         const std::optional<Url>& url) {
    if (expects_failure) {
        return url ? "parsed to " + url->href() + ", expected failure" : "";
    }
    if (!url) {
        return "failed, expected " + string_field(expected, "href");
    }
    return compare_fields(expected, *url);
}

#define REQUIRE_DATA_FOLDER()                                                 \
    if (!std::filesystem::is_directory(data_folder())) {                      \
        GTEST_SKIP() << "the conformance data folder " << data_folder()       \
                     << " is absent (pass the folder as the first argument)"; \
    }

TEST(UrlConformance, ParserCasesWithoutBase) {
    REQUIRE_DATA_FOLDER();
    const auto data = load("urltestdata.json");
    ASSERT_TRUE(data) << "urltestdata.json cannot be read or is not a JSON array";
    Verdicts verdicts;
    for (const json& entry : *data) {
        const auto base = entry.is_object() ? entry.find("base") : entry.end();
        if (!entry.is_object() || (base != entry.end() && !base->is_null())) {
            continue;  // comments and cases relative to a base URL
        }
        const std::string input = string_field(entry, "input");
        const bool expects_failure = entry.value("failure", false);
        const std::optional<Url> url = parse_url(input);
        verdicts.add(input, expects_failure, url, compare_case(entry, expects_failure, url));
    }
    verdicts.report("urltestdata.json");
}

std::string compare_host(const json& output, const std::optional<Url>& url) {
    if (!output.is_string()) {
        return url ? "parsed to " + url->href() + ", expected failure" : "";
    }
    const std::string host = output.get<std::string>();
    if (!url) {
        return "failed, expected " + host;
    }
    if (url->href() != "https://" + host + "/x" || url->hostname() != host) {
        return "gave " + url->href() + ", expected host " + host;
    }
    return "";
}

// Each host is tried as "https://" + host + "/x", as the data's own harness
// does; an empty host cannot be written that way and is left out.
void check_host_cases(const std::string& file_name) {
    const auto data = load(file_name);
    ASSERT_TRUE(data) << file_name << " cannot be read or is not a JSON array";
    Verdicts verdicts;
    for (const json& entry : *data) {
        const std::string input = entry.is_object() ? string_field(entry, "input") : "";
        if (input.empty()) {
            continue;
        }
        const json output = entry.value("output", json());
        const std::optional<Url> url = parse_url("https://" + input + "/x");
        verdicts.add(input, !output.is_string(), url, compare_host(output, url));
    }
    verdicts.report(file_name);
}

TEST(UrlConformance, DomainToAscii) {
    REQUIRE_DATA_FOLDER();
    check_host_cases("toascii.json");
}

TEST(UrlConformance, IdnaTestV2) {
    REQUIRE_DATA_FOLDER();
    check_host_cases("IdnaTestV2.json");
}

}  // namespace
}  // namespace velmor

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1) {
        velmor::data_folder() = argv[1];
    }
    return RUN_ALL_TESTS();
}
