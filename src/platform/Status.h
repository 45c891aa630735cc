#pragma once

#include <string>
#include <utility>

namespace quill {

// Outcome of an operation that can fail for reasons the caller must see
// (a write refused, a file that could not be replaced). Callers have to
// look at it: silently dropping a failed write would lose data.
class [[nodiscard]] Status {
public:
    static Status success() { return Status(); }
    static Status failure(std::string message) { return Status(std::move(message)); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& message() const { return message_; }

private:
    Status() = default;
    explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}

    bool failed_ = false;
    std::string message_;
};

} // namespace quill
