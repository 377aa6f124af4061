#pragma once
// The result of an operation that can fail: the value it gives, or the reason it failed, never
// both. Result<void, E> is an operation that gives nothing but can fail.

#include <cstddef>
#include <string>
#include <utility>
#include <variant>

namespace kestro {

template <class T, class E = std::string>
class Result {
  public:
    static Result success(T value) { return Result(std::in_place_index<0>, std::move(value)); }
    static Result failure(E error) { return Result(std::in_place_index<1>, std::move(error)); }

    bool ok() const noexcept { return v_.index() == 0; }
    explicit operator bool() const noexcept { return ok(); }

    // The value of a success; asking a failure for it throws std::bad_variant_access.
    const T& value() const& { return std::get<0>(v_); }
    T& value() & { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }

    // The reason of a failure; asking a success for it throws std::bad_variant_access.
    const E& error() const { return std::get<1>(v_); }

  private:
    template <std::size_t I, class V>
    Result(std::in_place_index_t<I> tag, V&& v) : v_(tag, std::forward<V>(v)) {}

    std::variant<T, E> v_;
};

template <class E>
class Result<void, E> {
  public:
    static Result success() { return Result(); }
    static Result failure(E error) { return Result(std::move(error)); }

    bool ok() const noexcept { return !failed_; }
    explicit operator bool() const noexcept { return ok(); }

    // The reason of a failure; asking a success for it throws std::bad_variant_access.
    const E& error() const {
        if (!failed_) {
            throw std::bad_variant_access();
        }
        return error_;
    }

  private:
    Result() = default;
    explicit Result(E error) : error_(std::move(error)), failed_(true) {}

    E error_{};
    bool failed_ = false;
};

// A system call's outcome: the error is the system's error number (errno).
using SystemResult = Result<void, int>;

}  // namespace kestro
