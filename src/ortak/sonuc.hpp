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
    // Implicit on purpose: a function returns either its value or fail(...).
    // NOLINTNEXTLINE(google-explicit-constructor)
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    // NOLINTNEXTLINE(google-explicit-constructor)
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    [[nodiscard]] bool ok() const noexcept { return state_.index() == 0; }
    explicit operator bool() const noexcept { return ok(); }

    [[nodiscard]] T& value() & { return std::get<0>(state_); }
    [[nodiscard]] const T& value() const& { return std::get<0>(state_); }
    [[nodiscard]] T&& value() && { return std::get<0>(std::move(state_)); }

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
    // NOLINTNEXTLINE(google-explicit-constructor)
    Result(Failure failure) : failure_(std::move(failure)), failed_(true) {}

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
