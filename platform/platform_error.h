#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace platform {

// The form runtime's error numbers that the platform raises.
enum class ErrorNumber : int {
    InvalidProcedureCall = 5,
    OutOfMemory = 7,
    FileNotFound = 53,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
    InvalidPropertyValue = 380,
    InvalidPicture = 481,
};

// The runtime's own text for each number, the one place it is written.
constexpr const char* ErrorText(ErrorNumber number) {
    switch (number) {
        case ErrorNumber::InvalidProcedureCall:
            return "Invalid procedure call or argument";
        case ErrorNumber::OutOfMemory:
            return "Out of memory";
        case ErrorNumber::FileNotFound:
            return "File not found";
        case ErrorNumber::PermissionDenied:
            return "Permission denied";
        case ErrorNumber::PathFileAccessError:
            return "Path/File access error";
        case ErrorNumber::PathNotFound:
            return "Path not found";
        case ErrorNumber::InvalidPropertyValue:
            return "Invalid property value";
        case ErrorNumber::InvalidPicture:
            return "Invalid picture";
    }
    return "Application-defined or object-defined error";
}

// A failed platform call, carrying the runtime's error number and its text. Handlers in
// continue-on-error mode skip the statement that raised it; nothing else catches it.
class PlatformError : public std::runtime_error {
  public:
    explicit PlatformError(ErrorNumber number)
        : std::runtime_error(ErrorText(number)), m_number(number) {}
    // With the specific reason below the number, such as what a decoder found wrong: the
    // window shows only the runtime's message, a caller without one can say why.
    PlatformError(ErrorNumber number, std::string detail)
        : std::runtime_error(ErrorText(number)), m_number(number), m_detail(std::move(detail)) {}

    ErrorNumber Number() const { return m_number; }
    const std::string& Detail() const { return m_detail; }

  private:
    ErrorNumber m_number;
    std::string m_detail;
};

}  // namespace platform
