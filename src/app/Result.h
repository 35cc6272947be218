#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace dgaws {

// Why an operation failed, as the operator is to read it.
struct Failure {
    std::string text;
};

// The operator's text of a failure: the fixed text of the operation on the first line, the
// reason (an exception's words, a driver's description) below it.
inline std::string withReason(std::string_view text, std::string_view reason)
{
    std::string s(text);
    if (!reason.empty()) {
        s += '\n';
        s += reason;
    }
    return s;
}

// The outcome of an operation of the application layer: its value, or the failure the
// operator is shown. Every failing operation of app answers with one, so a caller that has
// to show or pass on the reason finds it in the same place everywhere.
template <class T> class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : error_(std::move(failure.text)) {}

    bool has_value() const { return value_.has_value(); }
    explicit operator bool() const { return has_value(); }
    // The value; a failure asked for one throws with its text.
    T& value()
    {
        if (!value_)
            throw std::logic_error(error_);
        return *value_;
    }
    const T& value() const
    {
        if (!value_)
            throw std::logic_error(error_);
        return *value_;
    }
    T value_or(T fallback) const { return value_ ? *value_ : std::move(fallback); }
    // Only on success.
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Empty on success.
    const std::string& error() const { return error_; }

private:
    std::optional<T> value_;
    std::string error_;
};

template <> class Result<void> {
public:
    Result() = default;
    Result(Failure failure) : ok_(false), error_(std::move(failure.text)) {}

    bool has_value() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& error() const { return error_; }

private:
    bool ok_ = true;
    std::string error_;
};

}  // namespace dgaws
