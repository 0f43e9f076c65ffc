#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "icon_set/icon_set_options.h"

namespace zentrova {

// Where the icon set of `input` is saved: OUTPUT as given (-o), or the input's name in DIRECTORY
// (-d), or beside the input; ".ICO" (".CUR" for a cursor) added unless the name ends in
// ".ico" or ".cur", in any letter case, as the window adds its extension. A full path.
std::string IconSetTarget(const std::string& input, const std::string& output,
                          const std::string& directory, bool cursor);

// Reads `input`, makes its icon set and saves it at `target` whole or not at all. Each problem
// is a line on err, in the words of the window's messages. The path written, if one was.
std::optional<std::string> SaveIconSet(const std::string& input, const std::string& target,
                                       const IconSetOptions& options, std::ostream& err);

}  // namespace zentrova
