#include "pencere/ilerleme.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "ortak/metin.hpp"

namespace velmor {
namespace {

// The poll's text back in UTF-8, or "-" when it brought none.
std::string shown(const DisplayPoll& poll) {
    return poll.update ? to_utf8(poll.update->text) + " " + std::to_string(poll.update->percent)
                       : "-";
}

TEST(ProgressState, PollShowsOnlyWhatChangedSinceTheLastPoll) {
    ProgressState state;
    EXPECT_EQ(shown(state.poll_display()), "-");

    state.set_status("Son sürüm bilgisi alınıyor…", 0);
    state.set_status("Velmor Launcher 1.4.12 indiriliyor… %7 (0,7 / 10,0 MB)", 7);
    const DisplayPoll poll = state.poll_display();
    EXPECT_EQ(shown(poll), "Velmor Launcher 1.4.12 indiriliyor… %7 (0,7 / 10,0 MB) 7");
    EXPECT_EQ(poll.update->text, to_wide("Velmor Launcher 1.4.12 indiriliyor… %7 (0,7 / 10,0 MB)"));
    EXPECT_FALSE(poll.has_outcome);
    EXPECT_EQ(shown(state.poll_display()), "-");

    // The same text and percent again still count as a change.
    state.set_status("Velmor Launcher 1.4.12 indiriliyor… %7 (0,7 / 10,0 MB)", 7);
    EXPECT_EQ(shown(state.poll_display()),
              "Velmor Launcher 1.4.12 indiriliyor… %7 (0,7 / 10,0 MB) 7");
}

TEST(ProgressState, OutcomeIsKeptByPollsReplacedByFinishAndTakenOnce) {
    ProgressState state;
    EXPECT_FALSE(state.has_outcome());
    EXPECT_FALSE(state.take_outcome().has_value());

    state.set_status("Son sürüm bilgisi alınıyor…", 0);
    state.finish(JobSuccess{"kurulum.exe"});
    EXPECT_TRUE(state.has_outcome());
    // finish leaves the pending status alone: the poll that learns of the
    // outcome brings the last status with it.
    DisplayPoll poll = state.poll_display();
    EXPECT_EQ(shown(poll), "Son sürüm bilgisi alınıyor… 0");
    EXPECT_TRUE(poll.has_outcome);
    poll = state.poll_display();
    EXPECT_EQ(shown(poll), "-");
    EXPECT_TRUE(poll.has_outcome);

    state.finish(JobFailure{"İptal edildi."});
    EXPECT_EQ(state.take_outcome(), JobOutcome(JobFailure{"İptal edildi."}));
    EXPECT_FALSE(state.has_outcome());
    EXPECT_FALSE(state.take_outcome().has_value());
    EXPECT_FALSE(state.poll_display().has_outcome);
}

// A worker reporting as fast as it can while the interface thread polls:
// percents only grow, and by the poll that first reports the outcome the
// last status has been shown. Run under a thread sanitizer to check the
// locking itself.
TEST(ProgressState, PollerSeesTheLastStatusNoLaterThanTheOutcome) {
    constexpr std::uint32_t LAST = 100;
    for (int round = 0; round < 20; ++round) {
        ProgressState state;
        std::thread worker([&state] {
            for (std::uint32_t percent = 0; percent <= LAST; ++percent) {
                state.set_status("%" + std::to_string(percent), percent);
            }
            state.finish(JobSuccess{"kurulum.exe"});
        });
        std::optional<std::uint32_t> last_seen;
        bool outcome = false;
        while (!outcome) {
            const DisplayPoll poll = state.poll_display();
            if (poll.update) {
                EXPECT_EQ(to_utf8(poll.update->text), "%" + std::to_string(poll.update->percent));
                EXPECT_TRUE(!last_seen || *last_seen < poll.update->percent);
                last_seen = poll.update->percent;
            }
            outcome = poll.has_outcome;
        }
        worker.join();
        EXPECT_EQ(last_seen, LAST);
        EXPECT_TRUE(state.take_outcome().has_value());
    }
}

TEST(ProcessWideState, IsOneObjectAndTheCancelFlagOnlyGoesOneWay) {
    EXPECT_EQ(&progress_state(), &progress_state());
    EXPECT_EQ(&cancel_requested(), &cancel_requested());

    CancelFlag flag;
    EXPECT_FALSE(flag.is_requested());
    flag.request();
    flag.request();
    EXPECT_TRUE(flag.is_requested());

    EXPECT_FALSE(is_cancel_requested());
    request_cancel();
    EXPECT_TRUE(is_cancel_requested());
    EXPECT_TRUE(cancel_requested().is_requested());
}

}  // namespace
}  // namespace velmor
