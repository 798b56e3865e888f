#pragma once
#include <optional>
#include <string>
#include <utility>

namespace tender::server {

// A value, or the code of the reason there is none.
template <class T>
class Outcome {
public:
    Outcome(T value) : value_(std::move(value)) {}
    static Outcome failure(std::string code) { return Outcome(std::move(code), 0); }

    explicit operator bool() const { return value_.has_value(); }
    const T& operator*() const { return *value_; }
    const T* operator->() const { return &*value_; }
    const std::string& error() const { return error_; }

private:
    Outcome(std::string code, int) : error_(std::move(code)) {}
    std::optional<T> value_;
    std::string error_;
};

}
