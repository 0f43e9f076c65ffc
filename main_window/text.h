#pragma once

#include <string>
#include <string_view>

namespace zentrova {

// Strings are UTF-8; the window's rules count characters, not bytes, and compare only
// with ASCII extensions, so upper case is needed for ASCII letters alone.

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

inline std::string UCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

inline bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           UCase(text.substr(text.size() - suffix.size())) == UCase(suffix);
}

}  // namespace zentrova
