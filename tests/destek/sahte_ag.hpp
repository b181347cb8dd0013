// A scripted network for tests: each request takes the next scripted answer,
// and everything the code under test did with it is recorded.
#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "indir/ajan.hpp"

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
};

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
        const std::size_t left = answer_.body.size() - offset_;
        if (left == 0 && answer_.read_error) {
            return fail(*answer_.read_error);
        }
        const std::size_t n = std::min({left, buffer.size(), answer_.piece});
        std::memcpy(buffer.data(), answer_.body.data() + offset_, n);
        offset_ += n;
        log_->body_bytes_read += n;
        return n;
    }

private:
    ScriptedAnswer answer_;
    std::shared_ptr<NetworkLog> log_;
    std::size_t offset_ = 0;
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
    static char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

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
