// A scripted network for tests: each request takes the next scripted answer,
// and everything the code under test did with it is recorded.
#pragma once

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "indir/ajan.hpp"
#include "ortak/ascii.hpp"

namespace velmor::test {

struct ScriptedAnswer {
    // Set for a transport failure; the rest is then unused.
    std::optional<std::string> transport_error;
    std::uint16_t status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // The most bytes one read hands out (servers deliver in pieces).
    std::size_t piece = 65536;
    // Reported by the read that comes after the whole body, instead of its end.
    std::optional<std::string> read_error;
    // When set, the body is this many bytes of fill_generated() instead of
    // `body`, made as they are read: large bodies without the memory.
    std::optional<std::uint64_t> generated_size;
    // Called inside each read, with its number (1 for the first), before
    // the read hands out its bytes: lets a test act "during" a read.
    std::function<void(int)> on_read;
};

// The generated body: a fixed pseudo-random pattern whose period, a prime,
// is not in step with any read size, so lost, doubled or shifted pieces
// change the digest. Filled by copying, fast even in unoptimised builds.
inline constexpr std::size_t GENERATED_PERIOD = 65521;

inline const std::array<std::byte, GENERATED_PERIOD>& generated_pattern() {
    static const auto pattern = [] {
        std::array<std::byte, GENERATED_PERIOD> bytes{};
        std::uint32_t x = 2463534242U;
        for (std::byte& b : bytes) {
            x ^= x << 13U;
            x ^= x >> 17U;
            x ^= x << 5U;
            b = static_cast<std::byte>(x >> 24U);
        }
        return bytes;
    }();
    return pattern;
}

// The generated body's bytes from `offset` on, into `out`.
inline void fill_generated(std::uint64_t offset, std::span<std::byte> out) {
    while (!out.empty()) {
        const auto at = static_cast<std::size_t>(offset % GENERATED_PERIOD);
        const std::size_t n = std::min(out.size(), GENERATED_PERIOD - at);
        std::memcpy(out.data(), generated_pattern().data() + at, n);
        out = out.subspan(n);
        offset += n;
    }
}

// What happened to the requests, shared with the objects handed out.
struct NetworkLog {
    int agents_built = 0;
    int agents_alive = 0;
    std::vector<std::string> urls;
    std::size_t body_bytes_read = 0;
    int reads = 0;
    // The most agents that were alive at the time of any body read.
    int most_agents_alive_while_reading = 0;
    int readers_alive = 0;
    int responses_alive = 0;
    // Every distinct buffer (start, size) that reads were given.
    std::set<std::pair<const void*, std::size_t>> read_buffers;
};

class ScriptedBody final : public BodyReader {
public:
    ScriptedBody(ScriptedAnswer answer, std::shared_ptr<NetworkLog> log)
        : answer_(std::move(answer)), log_(std::move(log)) {
        ++log_->readers_alive;
    }
    ScriptedBody(const ScriptedBody&) = delete;
    ScriptedBody& operator=(const ScriptedBody&) = delete;
    ~ScriptedBody() override { --log_->readers_alive; }

    Result<std::size_t> read(std::span<std::byte> buffer) override {
        ++log_->reads;
        log_->most_agents_alive_while_reading =
            std::max(log_->most_agents_alive_while_reading, log_->agents_alive);
        log_->read_buffers.emplace(buffer.data(), buffer.size());
        if (answer_.on_read) {
            answer_.on_read(++reads_);
        }
        const std::uint64_t size =
            answer_.generated_size ? *answer_.generated_size : answer_.body.size();
        const std::uint64_t left = size - offset_;
        if (left == 0 && answer_.read_error) {
            return fail(*answer_.read_error);
        }
        const auto n =
            static_cast<std::size_t>(std::min<std::uint64_t>({left, buffer.size(), answer_.piece}));
        if (answer_.generated_size) {
            fill_generated(offset_, buffer.first(n));
        } else {
            std::memcpy(buffer.data(), answer_.body.data() + offset_, n);
        }
        offset_ += n;
        log_->body_bytes_read += n;
        return n;
    }

private:
    ScriptedAnswer answer_;
    std::shared_ptr<NetworkLog> log_;
    std::uint64_t offset_ = 0;
    int reads_ = 0;
};

class ScriptedResponse final : public HttpResponse {
public:
    ScriptedResponse(ScriptedAnswer answer, std::shared_ptr<NetworkLog> log)
        : answer_(std::move(answer)), log_(std::move(log)) {
        ++log_->responses_alive;
    }
    ScriptedResponse(const ScriptedResponse&) = delete;
    ScriptedResponse& operator=(const ScriptedResponse&) = delete;
    ~ScriptedResponse() override { --log_->responses_alive; }

    [[nodiscard]] std::uint16_t status() const override { return answer_.status; }

    [[nodiscard]] std::optional<std::string> header(std::string_view name) const override {
        for (const auto& [field, value] : answer_.headers) {
            if (std::equal(field.begin(), field.end(), name.begin(), name.end(),
                           [](char a, char b) { return ascii_lower(a) == ascii_lower(b); })) {
                return value;
            }
        }
        return std::nullopt;
    }

    std::unique_ptr<BodyReader> body_reader() override {
        return std::make_unique<ScriptedBody>(std::move(answer_), log_);
    }

private:
    ScriptedAnswer answer_;
    std::shared_ptr<NetworkLog> log_;
};

class ScriptedAgent final : public HttpAgent {
public:
    ScriptedAgent(std::deque<ScriptedAnswer>& answers, std::shared_ptr<NetworkLog> log)
        : answers_(answers), log_(std::move(log)) {
        ++log_->agents_alive;
    }
    ScriptedAgent(const ScriptedAgent&) = delete;
    ScriptedAgent& operator=(const ScriptedAgent&) = delete;
    ~ScriptedAgent() override { --log_->agents_alive; }

    RequestResult get(std::string_view url) override {
        log_->urls.emplace_back(url);
        if (answers_.empty()) {
            return TransportError{"no scripted answer for " + std::string(url)};
        }
        ScriptedAnswer answer = std::move(answers_.front());
        answers_.pop_front();
        if (answer.transport_error) {
            return TransportError{*answer.transport_error};
        }
        const std::uint16_t status = answer.status;
        auto response = std::make_unique<ScriptedResponse>(std::move(answer), log_);
        if (status >= 400) {
            return StatusError{status, std::move(response)};
        }
        return ResponseReceived{std::move(response)};
    }

private:
    std::deque<ScriptedAnswer>& answers_;
    std::shared_ptr<NetworkLog> log_;
};

class ScriptedNetwork final : public Network {
public:
    std::deque<ScriptedAnswer> answers;
    std::optional<std::string> build_failure;
    std::shared_ptr<NetworkLog> log = std::make_shared<NetworkLog>();

    Result<std::unique_ptr<HttpAgent>> build_agent() override {
        if (build_failure) {
            return fail(*build_failure);
        }
        ++log->agents_built;
        return std::unique_ptr<HttpAgent>(std::make_unique<ScriptedAgent>(answers, log));
    }
};

}  // namespace velmor::test
