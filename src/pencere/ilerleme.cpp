#include "pencere/ilerleme.hpp"

#include <array>
#include <cstddef>
#include <new>
#include <utility>

#include "ortak/metin.hpp"

namespace velmor {

void ProgressState::set_status(std::string text, std::uint32_t percent) {
    std::string previous;  // released after the lock, not under it
    {
        const std::lock_guard lock(mutex_);
        previous = std::exchange(status_text_, std::move(text));
        percent_ = percent;
        changed_ = true;
    }
}

void ProgressState::finish(JobOutcome outcome) {
    std::optional<JobOutcome> previous;
    {
        const std::lock_guard lock(mutex_);
        previous = std::exchange(outcome_, std::move(outcome));
    }
}

DisplayPoll ProgressState::poll_display() {
    DisplayPoll poll;
    const std::lock_guard lock(mutex_);
    if (changed_) {
        poll.update = DisplayPoll::Update{to_wide(status_text_), percent_};
    }
    changed_ = false;
    poll.has_outcome = outcome_.has_value();
    return poll;
}

bool ProgressState::has_outcome() const {
    const std::lock_guard lock(mutex_);
    return outcome_.has_value();
}

std::optional<JobOutcome> ProgressState::take_outcome() {
    const std::lock_guard lock(mutex_);
    return std::exchange(outcome_, std::nullopt);
}

namespace {

// Static storage whose object is constructed once and never destroyed: no
// exit-time destructor can pull the record from under a running worker.
template <class T>
class NeverDestroyed {
public:
    NeverDestroyed() { ::new (static_cast<void*>(storage_.data())) T(); }
    NeverDestroyed(const NeverDestroyed&) = delete;
    NeverDestroyed& operator=(const NeverDestroyed&) = delete;
    NeverDestroyed(NeverDestroyed&&) = delete;
    NeverDestroyed& operator=(NeverDestroyed&&) = delete;
    ~NeverDestroyed() = default;  // trivial: T's destructor never runs

    T& get() noexcept { return *std::launder(reinterpret_cast<T*>(storage_.data())); }

private:
    alignas(T) std::array<std::byte, sizeof(T)> storage_{};
};

}  // namespace

ProgressState& progress_state() {
    static NeverDestroyed<ProgressState> instance;
    return instance.get();
}

CancelFlag& cancel_requested() {
    static NeverDestroyed<CancelFlag> instance;
    return instance.get();
}

void request_cancel() noexcept { cancel_requested().request(); }

bool is_cancel_requested() noexcept { return cancel_requested().is_requested(); }

}  // namespace velmor
