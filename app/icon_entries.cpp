#include "app/icon_entries.h"

#include <cerrno>
#include <cstring>
#include <ostream>
#include <utility>

#include "platform/files/read_only_file.h"
#include "platform/pictures/codecs/limits.h"

namespace zentrova {

namespace {

namespace codecs = platform::codecs;

constexpr const char* kProgram = "zentrova-convert: ";

// Why a file could not be opened, as the window's Open says it.
std::string OpenFailureText(const platform::OpenedFile& opened) {
    switch (opened.failure) {
        case platform::OpenFailure::NotAFile:
            return "not a regular file";
        case platform::OpenFailure::TooLarge:
            return "picture limit exceeded: the file is larger than 1 GiB";
        default:
            return opened.reason.message();
    }
}

}  // namespace

std::optional<IconFile> OpenIconFile(const std::string& path, std::ostream& err) {
    platform::OpenedFile opened = platform::ReadOnlyFile::Open(path, codecs::kMaxFileBytes);
    if (!opened.file) {
        err << kProgram << "File " << path << " could not be read! (" << OpenFailureText(opened)
            << ")" << std::endl;
        return std::nullopt;
    }
    IconFile file{codecs::FileInput::FromFile(std::move(opened.file)), {}};
    auto entries = codecs::ReadIcoEntries(file.input);
    if (!entries) {
        err << kProgram << "File " << path << " is not a valid icon or cursor! ("
            << codecs::Describe(entries.Failure()) << ")" << std::endl;
        return std::nullopt;
    }
    file.entries = std::move(entries).Value();
    return file;
}

std::string EntryLine(const std::string& path, std::size_t index,
                      const codecs::IcoEntryPlace& entry) {
    const std::string hotspot =
        entry.isIcon ? "-" : std::to_string(entry.xHotspot) + "," + std::to_string(entry.yHotspot);
    return std::to_string(index) + '\t' + std::to_string(entry.width) + 'x' +
           std::to_string(entry.height) + '\t' + std::to_string(entry.depth) + '\t' +
           (entry.isPng ? "PNG" : "BMP") + '\t' + hotspot + '\t' + std::to_string(entry.size) +
           '\t' + path;
}

void LinePrinter::Print(const std::string& line) {
    if (!m_printed) return;
    // A newline may be part of a name; NUL never is.
    errno = 0;
    m_out << line << (m_nullEnded ? '\0' : '\n') << std::flush;
    if (m_out) return;
    // A caller that lost lines cannot tell what there is: a failure, told once.
    const int reason = errno;
    m_printed = false;
    m_err << kProgram << "the " << m_what << " could not be printed";
    if (reason != 0) m_err << " (" << std::strerror(reason) << ")";
    m_err << std::endl;
}

int ListIcons(const ConvertCommand& command, std::ostream& out, std::ostream& err) {
    LinePrinter printer(out, err, command.nullEnded, "entries");
    bool allListed = true;
    for (const std::string& input : command.inputs) {
        const std::optional<IconFile> file = OpenIconFile(input, err);
        if (!file) {
            allListed = false;
            continue;
        }
        for (std::size_t i = 0; i < file->entries.size(); ++i) {
            printer.Print(EntryLine(input, i, file->entries[i]));
        }
    }
    return allListed && printer.AllPrinted() ? 0 : 1;
}

}  // namespace zentrova
