#pragma once

#include <system_error>
#include <type_traits>

namespace platform {

// What a save refuses though the system would let it go ahead, each with its own reason.
enum class SaveRefusal {
    // A device, a pipe or a socket: the save would replace its name, never write to it.
    NotARegularFile = 1,
    // A symbolic link in a sticky folder anyone may write, belonging to neither the user nor
    // the folder's owner: anyone could have put it there to choose what the save replaces.
    LinkOfAnotherUser,
};

std::error_code make_error_code(SaveRefusal refusal);

}  // namespace platform

template <>
struct std::is_error_code_enum<platform::SaveRefusal> : std::true_type {};
