#pragma once

#include <string>
#include <string_view>

// The form runtime's string functions. characters:: counts UTF-8 characters, for text such
// as file names.
namespace platform {

// Upper case for the ASCII letters alone: every other byte stays as it is, so UTF-8 stays
// valid and no locale decides the result.
inline std::string AsciiUpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

namespace characters {

namespace detail {

inline bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace detail

inline std::size_t Len(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) {
        if (!detail::IsContinuationByte(c)) ++count;
    }
    return count;
}

inline std::string_view Right(std::string_view text, std::size_t count) {
    std::size_t start = text.size();
    while (count > 0 && start > 0) {
        --start;
        if (!detail::IsContinuationByte(text[start])) --count;
    }
    return text.substr(start);
}

// Only ASCII letters: the comparisons made with it are against ASCII extensions.
inline std::string UCase(std::string_view text) {
    return AsciiUpperCase(text);
}

inline bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           UCase(text.substr(text.size() - suffix.size())) == UCase(suffix);
}

}  // namespace characters

}  // namespace platform
