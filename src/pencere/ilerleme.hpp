// The worker's channel to the interface thread and back: the status line and
// the job's outcome under one mutex, and the user's cancel as a lone atomic
// flag. The process has one of each (progress_state(), cancel_requested());
// tests make their own.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

namespace velmor {

// The verified setup program, in its final place.
struct JobSuccess {
    std::filesystem::path setup_path;

    bool operator==(const JobSuccess&) const = default;
};

// The complete sentence (or sentences) to show the user.
struct JobFailure {
    std::string message;

    bool operator==(const JobFailure&) const = default;
};

// How the job ended. A cancel the job noticed is a failure ("İptal edildi.").
using JobOutcome = std::variant<JobSuccess, JobFailure>;

// What the dialog's timer needs from one poll.
struct DisplayPoll {
    struct Update {
        std::wstring text;  // UTF-16 code units, NUL-terminated through c_str()
        std::uint32_t percent = 0;
    };
    // Present only when set_status was called since the previous poll.
    std::optional<Update> update;
    bool has_outcome = false;
};

// Every operation holds the one mutex for its whole body and no longer; none
// of them calls out while holding it.
class ProgressState {
public:
    ProgressState() = default;
    ProgressState(const ProgressState&) = delete;
    ProgressState& operator=(const ProgressState&) = delete;
    ProgressState(ProgressState&&) = delete;
    ProgressState& operator=(ProgressState&&) = delete;
    ~ProgressState() = default;

    // Worker: marks the record changed on every call, even with the same values.
    void set_status(std::string text, std::uint32_t percent);
    // Worker, once, as its last act. Replaces an outcome already stored.
    void finish(JobOutcome outcome);

    // Dialog timer: the text and percent if they changed since the last poll,
    // and whether an outcome is stored, read under one lock. Clears `changed`.
    DisplayPoll poll_display();
    // Dialog, on Cancel.
    [[nodiscard]] bool has_outcome() const;
    // Run sequence, once the dialog is gone: moves the outcome out.
    std::optional<JobOutcome> take_outcome();

private:
    mutable std::mutex mutex_;
    std::string status_text_;
    std::uint32_t percent_ = 0;
    bool changed_ = false;
    std::optional<JobOutcome> outcome_;
};

// A one-way flag: set by the dialog, read by the download loop. It orders
// nothing else, so relaxed loads and stores suffice.
class CancelFlag {
public:
    void request() noexcept { requested_.store(true, std::memory_order_relaxed); }
    [[nodiscard]] bool is_requested() const noexcept {
        return requested_.load(std::memory_order_relaxed);
    }

private:
    std::atomic<bool> requested_{false};
};

// The process-wide instances. Both live in static storage and are never
// destroyed, so a worker still running while the process ends can keep
// using them. The first call constructs them; the run sequence makes it
// before it starts the worker.
ProgressState& progress_state();
CancelFlag& cancel_requested();

// The process-wide flag's two operations; neither takes a lock.
void request_cancel() noexcept;
bool is_cancel_requested() noexcept;

}  // namespace velmor
