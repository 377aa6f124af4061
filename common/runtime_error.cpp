#include "common/runtime_error.h"

#include <utility>

namespace kestro {

RuntimeError::RuntimeError(std::int32_t number, std::string source, std::string description)
    : std::runtime_error(description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

RuntimeError typeMismatch(std::string source) {
    return RuntimeError(errnum::kTypeMismatch, std::move(source), "Type mismatch");
}

RuntimeError overflowError(std::string source) {
    return RuntimeError(errnum::kOverflow, std::move(source), "Overflow");
}

RuntimeError subscriptOutOfRange(std::string source) {
    return RuntimeError(errnum::kSubscriptOutOfRange, std::move(source), "Subscript out of range");
}

RuntimeError pathFileAccessError(std::string source) {
    return RuntimeError(errnum::kPathFileAccess, std::move(source), "Path/File access error");
}

RuntimeError objectNotSet(std::string source) {
    return RuntimeError(errnum::kObjectNotSet, std::move(source),
                        "Object variable or With block variable not set");
}

RuntimeError invalidPropertyValue(std::string source) {
    return RuntimeError(errnum::kInvalidPropertyValue, std::move(source), "Invalid property value");
}

}  // namespace kestro
