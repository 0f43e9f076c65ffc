#pragma once

#include <string>
#include <string_view>

#include "platform/platform_error.h"

// The form runtime's string functions, in two kinds that count differently: characters::
// counts UTF-8 characters, for text such as file names; bytes:: counts bytes, for data such
// as the registry's, which need not be text at all.
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

namespace bytes {

// The byte code at a 1-based position; an error before the first byte or past the last, as
// the runtime's Asc(Mid(...)) gives.
inline int CodeAt(std::string_view data, long long position) {
    if (position < 1 || position > static_cast<long long>(data.size()))
        throw PlatformError(ErrorNumber::InvalidProcedureCall);
    return static_cast<unsigned char>(data[static_cast<std::size_t>(position - 1)]);
}

// The first count bytes, or all of them if there are fewer; an error for a negative count.
inline std::string Left(std::string_view data, long long count) {
    if (count < 0) throw PlatformError(ErrorNumber::InvalidProcedureCall);
    return std::string(data.substr(0, static_cast<std::size_t>(count)));
}

}  // namespace bytes

}  // namespace platform
