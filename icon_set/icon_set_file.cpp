#include "icon_set/icon_set_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>
#include <ostream>

#include "icon_set/icon_set.h"
#include "platform/files/atomic_file.h"
#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"

namespace zentrova {

namespace {

namespace fs = std::filesystem;

constexpr const char* kProgram = "zentrova-convert: ";

bool EndsWithNoCase(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string FullPath(const std::string& name) {
    std::error_code error;
    const fs::path full = fs::absolute(name, error);
    return error ? name : full.lexically_normal().string();
}

void Say(std::ostream& err, const std::string& message, const std::string& reason) {
    err << kProgram << message;
    if (!reason.empty()) err << " (" << reason << ")";
    err << std::endl;
}

}  // namespace

std::string IconSetTarget(const std::string& input, const std::string& output,
                          const std::string& directory, bool cursor) {
    std::string name = output;
    if (name.empty()) {
        name =
            directory.empty() ? input : (fs::path(directory) / fs::path(input).filename()).string();
    }
    const std::string file = fs::path(name).filename().string();
    // A name of the extension alone is no name: it gets the extension as the window's does.
    if (file.size() < 5 || (!EndsWithNoCase(file, ".ico") && !EndsWithNoCase(file, ".cur"))) {
        name += cursor ? ".CUR" : ".ICO";
    }
    return FullPath(name);
}

std::optional<std::string> SaveIconSet(const std::string& input, const std::string& target,
                                       const IconSetOptions& options, std::ostream& err) {
    std::vector<std::uint8_t> bytes;
    try {
        // From an icon, the entry that best fits the largest size made.
        const platform::Picture picture = platform::LoadPicture(input, options.sizes.back());
        const auto entries = MakeIconSet(picture, options);
        if (!entries) {
            Say(err, "File " + input + " is not a valid picture!", "it could not be decoded");
            return std::nullopt;
        }
        auto encoded = platform::codecs::EncodeIconSet(*entries, options.cursor);
        if (!encoded) {
            Say(err, "File " + target + " could not be written!",
                platform::codecs::Describe(encoded.Failure()));
            return std::nullopt;
        }
        bytes = std::move(encoded).Value();
    } catch (const platform::PlatformError& error) {
        const bool missing = error.Number() == platform::ErrorNumber::FileNotFound;
        Say(err, "File " + input + (missing ? " does not exist!" : " is not a valid picture!"),
            error.Detail());
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        Say(err, "File " + input + " is not a valid picture!", "out of memory");
        return std::nullopt;
    }
    if (const std::error_code error = platform::WriteFileAtomically(target, bytes)) {
        Say(err, "File " + target + " could not be written!", error.message());
        return std::nullopt;
    }
    return target;
}

}  // namespace zentrova
