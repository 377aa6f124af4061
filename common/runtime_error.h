#pragma once
// Run-time errors travel as exceptions that carry the platform-style error number, the source
// that raised them and a description, like the pending run-time error of the original platform.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kestro {

namespace errnum {
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kPathFileAccess = 75;
inline constexpr std::int32_t kObjectNotSet = 91;
inline constexpr std::int32_t kInvalidPropertyValue = 380;
}  // namespace errnum

// The source every run-time error of the program names by default: the project's name.
inline constexpr const char* kErrorSource = "Kestro";

class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(std::int32_t number, std::string source, std::string description);

    std::int32_t number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }

  private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

RuntimeError typeMismatch(std::string source = kErrorSource);         // 13 "Type mismatch"
RuntimeError overflowError(std::string source = kErrorSource);        // 6 "Overflow"
RuntimeError subscriptOutOfRange(std::string source = kErrorSource);  // 9 "Subscript out of range"
RuntimeError pathFileAccessError(std::string source = kErrorSource);  // 75 "Path/File access error"
RuntimeError objectNotSet(std::string source = kErrorSource);         // 91 "Object variable or ..."
RuntimeError invalidPropertyValue(std::string source = kErrorSource);  // 380

}  // namespace kestro
