#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// The form runtime's error numbers that this layer raises.
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

// A failed platform call, carrying the runtime's error number and its text. Handlers in
// continue-on-error mode skip the statement that raised it; nothing else catches it.
class PlatformError : public std::runtime_error {
  public:
    PlatformError(ErrorNumber number, const std::string& description)
        : std::runtime_error(description), m_number(number) {}

    ErrorNumber Number() const { return m_number; }

  private:
    ErrorNumber m_number;
};

}  // namespace platform
