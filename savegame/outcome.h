#pragma once
// The result of an operation that either gives a value or fails with a reason, never both.

#include <cstddef>
#include <utility>
#include <variant>

namespace kestro::savegame {

template <class T, class Error>
class Outcome {
  public:
    static Outcome success(T value) { return Outcome(std::in_place_index<0>, std::move(value)); }
    static Outcome failure(Error error) {
        return Outcome(std::in_place_index<1>, std::move(error));
    }

    bool ok() const noexcept { return v_.index() == 0; }
    explicit operator bool() const noexcept { return ok(); }

    // The value of a success; asking a failure for it throws std::bad_variant_access.
    const T& value() const& { return std::get<0>(v_); }
    T& value() & { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }

    // The reason of a failure; asking a success for it throws std::bad_variant_access.
    const Error& error() const { return std::get<1>(v_); }

  private:
    template <std::size_t I, class V>
    Outcome(std::in_place_index_t<I> tag, V&& v) : v_(tag, std::forward<V>(v)) {}

    std::variant<T, Error> v_;
};

}  // namespace kestro::savegame
