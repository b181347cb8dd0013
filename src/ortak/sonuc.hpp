// Value-or-failure results. A failure that can reach the user carries its
// complete sentence; callers pass it on unchanged.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace velmor {

struct Failure {
    std::string message;
};

inline Failure fail(std::string message) { return Failure{std::move(message)}; }

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT(google-explicit-constructor)
    Result(Failure failure)  // NOLINT(google-explicit-constructor)
        : state_(std::in_place_index<1>, std::move(failure)) {}

    [[nodiscard]] bool ok() const noexcept { return state_.index() == 0; }
    explicit operator bool() const noexcept { return ok(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }

    [[nodiscard]] const Failure& failure() const& { return std::get<1>(state_); }
    Failure&& failure() && { return std::get<1>(std::move(state_)); }
    [[nodiscard]] const std::string& message() const { return failure().message; }

private:
    std::variant<T, Failure> state_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)), failed_(true) {}  // NOLINT(google-explicit-constructor)

    [[nodiscard]] bool ok() const noexcept { return !failed_; }
    explicit operator bool() const noexcept { return ok(); }

    [[nodiscard]] const Failure& failure() const& { return failure_; }
    Failure&& failure() && { return std::move(failure_); }
    [[nodiscard]] const std::string& message() const { return failure_.message; }

private:
    Failure failure_;
    bool failed_ = false;
};

using Status = Result<void>;

}  // namespace velmor
