#include "app/icon_extraction.h"

#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <utility>

#include "app/dialog_path.h"
#include "app/icon_entries.h"
#include "app/output_folder.h"
#include "platform/files/atomic_file.h"
#include "platform/graphics/icon_image.h"
#include "platform/pictures/codecs/ico_format.h"
#include "platform/pictures/codecs/png_encoder.h"

namespace zentrova {

namespace {

namespace codecs = platform::codecs;
namespace fs = std::filesystem;

constexpr const char* kProgram = "zentrova-convert: ";

// The entry's PNG file, or why there is none.
codecs::Result<std::vector<std::uint8_t>> EntryPng(const codecs::FileInput& file,
                                                   const codecs::IcoEntryPlace& entry) {
    auto pixels = EntryPixels(file, entry);
    if (!pixels) return pixels.Failure();
    return codecs::EncodePng(pixels.Value());
}

}  // namespace

std::vector<std::string> EntryFileNames(const std::string& stem,
                                        const std::vector<codecs::IcoEntryPlace>& entries) {
    const auto size = [&entries](std::size_t i) {
        return std::to_string(entries[i].width) + "x" + std::to_string(entries[i].height);
    };
    // For each size, the entry an icon reader takes: the deepest, the first of equals.
    std::map<std::string, std::size_t> plain;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto [kept, first] = plain.try_emplace(size(i), i);
        if (!first && entries[i].depth > entries[kept->second].depth) kept->second = i;
    }
    std::vector<std::string> names(entries.size());
    std::set<std::string> taken;
    for (const auto& [side, i] : plain) {
        names[i] = stem + "-" + side + ".png";
        taken.insert(names[i]);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!names[i].empty()) continue;
        const std::string name =
            stem + "-" + size(i) + "-" + std::to_string(entries[i].depth) + "bit";
        names[i] =
            taken.contains(name + ".png") ? name + "-" + std::to_string(i) + ".png" : name + ".png";
        taken.insert(names[i]);
    }
    return names;
}

codecs::Result<platform::Bitmap> EntryPixels(const codecs::FileInput& file,
                                             const codecs::IcoEntryPlace& entry) {
    if (entry.width > codecs::kMaxIconSide || entry.height > codecs::kMaxIconSide) {
        return codecs::Fail(codecs::CodecError::LimitExceeded,
                            "entry larger than 256 x 256 is not taken apart");
    }
    // As the window reads the entry it shows: its bytes whole, which the file holds.
    std::vector<std::uint8_t> bytes;
    if (codecs::Status read = file.Window(entry.offset, entry.size).ReadAll(bytes); !read) {
        return read.Failure();
    }
    auto icon = codecs::DecodeIcoEntry(entry, bytes);
    if (!icon) return icon.Failure();
    return platform::IconWithAlpha(icon.Value());
}

int ExtractIcons(const ConvertCommand& command, std::ostream& out, std::ostream& err) {
    if (!command.directory.empty() && !MakeOutputFolder(command.directory, "taken apart", err))
        return 1;
    LinePrinter printer(out, err, command.nullEnded, "paths written");
    bool allWritten = true;
    std::set<std::string> writtenFiles;
    for (const std::string& input : command.inputs) {
        const std::optional<IconFile> file = OpenIconFile(input, err);
        if (!file) {
            allWritten = false;
            continue;
        }
        const fs::path folder =
            command.directory.empty() ? fs::path(input).parent_path() : fs::path(command.directory);
        const std::vector<std::string> names =
            EntryFileNames(fs::path(input).stem().string(), file->entries);
        for (std::size_t i = 0; i < names.size(); ++i) {
            // One entry's failure never stops the others.
            const auto png = EntryPng(file->input, file->entries[i]);
            if (!png) {
                err << kProgram << "File " << input << ": entry " << i
                    << " is not a valid picture! (" << codecs::Describe(png.Failure()) << ")"
                    << std::endl;
                allWritten = false;
                continue;
            }
            const std::string path = DialogPath((folder / names[i]).string());
            if (const std::error_code error = platform::WriteFileAtomically(path, png.Value())) {
                err << kProgram << "File " << path << " could not be written! (" << error.message()
                    << ")" << std::endl;
                allWritten = false;
                continue;
            }
            if (!writtenFiles.insert(SameFileKey(path)).second) {
                err << kProgram << "warning: " << path << " was written again, from " << input
                    << "; the last one wins" << std::endl;
            }
            printer.Print(path);
        }
    }
    return allWritten && printer.AllPrinted() ? 0 : 1;
}

}  // namespace zentrova
