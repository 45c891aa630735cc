#pragma once

#include "platform/Status.h"

#include <optional>
#include <string>
#include <utility>

namespace quill {

// A value or the failure that kept it from being made. It replaces a
// Status beside an output parameter: the value cannot be read when the
// operation failed, and the caller cannot forget to look.
template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    // Only a failure may stand for a value; a success without one would
    // leave value() with nothing to give.
    Result(Status failure) : failure_(failure.ok() ? Status::failure("no value") : std::move(failure)) {}
    static Result failure(std::string message) { return Result(Status::failure(std::move(message))); }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const std::string& message() const { return failure_.message(); }
    // The outcome without the value, for callers that pass it on.
    Status status() const { return ok() ? Status::success() : failure_; }

    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }
    const T& operator*() const& { return *value_; }

    // The value, or the fallback when there is none.
    T valueOr(T fallback) const& { return ok() ? *value_ : std::move(fallback); }

private:
    std::optional<T> value_;
    Status failure_ = Status::success();
};

// The one way to drop an outcome on purpose: a cleanup whose failure
// changes nothing for the user (a temporary file that stays behind) says
// so here, where a reader and a search find it.
template <class Outcome> constexpr void ignoreOutcome(const Outcome&) noexcept {}

} // namespace quill
