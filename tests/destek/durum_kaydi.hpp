// What a worker showed: every status it set, in order. The recorder polls
// the progress state before each body read (a piece sets at most one status)
// and whenever the test asks, so no status is lost between two polls.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "destek/sahte_ag.hpp"
#include "indir/ozet.hpp"
#include "ortak/metin.hpp"
#include "pencere/ilerleme.hpp"

namespace velmor::test {

// A status text in UTF-8 with its percent.
using StatusLine = std::pair<std::string, std::uint32_t>;

class StatusRecorder {
public:
    explicit StatusRecorder(ProgressState& progress) : progress_(progress) {}

    void collect() {
        const DisplayPoll poll = progress_.poll_display();
        if (poll.update) {
            lines_.emplace_back(to_utf8(poll.update->text), poll.update->percent);
        }
    }

    // The answer, each of whose reads first collects, then does what it did.
    ScriptedAnswer polling_before_reads(ScriptedAnswer answer) {
        answer.on_read = [this, then = std::move(answer.on_read)](int read) {
            collect();
            if (then) {
                then(read);
            }
        };
        return answer;
    }

    [[nodiscard]] const std::vector<StatusLine>& lines() const { return lines_; }

private:
    ProgressState& progress_;
    std::vector<StatusLine> lines_;
};

inline std::string sha256_hex(std::string_view bytes) {
    Sha256 sha;
    sha.update(std::as_bytes(std::span(bytes.data(), bytes.size())));
    return to_hex(sha.finish());
}

}  // namespace velmor::test
