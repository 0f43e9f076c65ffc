#pragma once

#include <string_view>

namespace zentrova {

// The program's identity, in one place: the window captions, the About box and the
// installed files all read it from here.
struct ApplicationRecord {
    std::string_view Title;
    int Major;
    int Minor;
    int Revision;
    std::string_view FileVersion;  // also the product version
    std::string_view Comments;
    std::string_view FileDescription;
    std::string_view ProductName;
    std::string_view InternalName;
    std::string_view OriginalFilename;
};

inline constexpr ApplicationRecord kApplicationRecord{
    .Title = "Zentrova",
    .Major = 1,
    .Minor = 0,
    .Revision = 38,
    .FileVersion = "1.00.0038",
    .Comments = "Convert pictures to icons and icons to pictures with this little tool.",
    .FileDescription = "Convert pictures to icons and icons to pictures with this little tool",
    .ProductName = "Zentrova",
    .InternalName = "Zentrova",
    .OriginalFilename = "Zentrova.exe",
};

}  // namespace zentrova
