#pragma once

#include <filesystem>
#include <system_error>

namespace platform {

// The file a save to `path` replaces: the path itself or, where it is a symbolic link, the
// file the links lead to, the last of them possibly naming no file yet. Links are followed
// as the kernel's fs.protected_symlinks rule allows, whether or not the kernel applies it
// here, because the save renames in the last link's folder where the kernel never looks: a
// link in a sticky folder anyone may write is followed only when it belongs to the user
// (effective uid) or to the folder's owner, or else SaveRefusal::LinkOfAnotherUser.
std::filesystem::path FinalTarget(const std::filesystem::path& path, std::error_code& error);

}  // namespace platform
