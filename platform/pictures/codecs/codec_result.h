#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace platform::codecs {

enum class CodecError {
    Truncated,      // the data ends before the format says it should
    BadSignature,   // not this format at all
    BadHeader,      // a header field holds a value the format does not allow
    BadDimensions,  // zero, negative or contradictory width or height
    Overflow,       // a size or offset computed from the file does not fit
    Unsupported,    // a valid variant that we do not read
    LimitExceeded,  // more pixels than our picture limit
    Corrupt,        // the compressed data is damaged
};

std::string_view Describe(CodecError error);

struct CodecFailure {
    CodecError error;
    std::string detail;
};

// The error's text, then the detail where there is one: "truncated: file header cut short".
std::string Describe(const CodecFailure& failure);

inline CodecFailure Fail(CodecError error, std::string detail = {}) {
    return CodecFailure{error, std::move(detail)};
}

// A step that is done, or the specific reason it is not; true when done, as Result is.
class Status {
  public:
    Status(CodecFailure failure) : m_failure(std::move(failure)) {}

    bool Ok() const { return !m_failure; }
    explicit operator bool() const { return Ok(); }

    const CodecFailure& Failure() const { return *m_failure; }

  private:
    friend Status Done();
    Status() = default;

    std::optional<CodecFailure> m_failure;
};

inline Status Done() {
    return Status();
}

// A decoded value, or the specific reason there is none. Codecs never throw.
template <typename T>
class Result {
  public:
    Result(T value) : m_state(std::move(value)) {}
    Result(CodecFailure failure) : m_state(std::move(failure)) {}

    bool Ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return Ok(); }

    T& Value() & { return std::get<T>(m_state); }
    const T& Value() const& { return std::get<T>(m_state); }
    T&& Value() && { return std::get<T>(std::move(m_state)); }
    const CodecFailure& Failure() const { return std::get<CodecFailure>(m_state); }

  private:
    std::variant<T, CodecFailure> m_state;
};

}  // namespace platform::codecs
