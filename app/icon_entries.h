#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "platform/pictures/codecs/file_input.h"
#include "platform/pictures/codecs/ico_codec.h"

namespace zentrova {

// An icon or cursor file open for --list and --extract: where it lies, and its entries as the
// icon reader checked them.
struct IconFile {
    platform::codecs::FileInput input;
    std::vector<platform::codecs::IcoEntryPlace> entries;
};

// Opens `path` and reads its directory and each entry's header, refusing the files the icon
// reader refuses. When it cannot, says why on err, naming the file.
std::optional<IconFile> OpenIconFile(const std::string& path, std::ostream& err);

// The line --list prints for the entry, without its end: index, WxH, bits per pixel, BMP or
// PNG, the hot spot X,Y of a cursor or - for an icon, bytes, and the file's path, tab-separated.
// The path comes last so that a tab in it leaves the other fields where they are.
std::string EntryLine(const std::string& path, std::size_t index,
                      const platform::codecs::IcoEntryPlace& entry);

// Prints lines on out, each ended by a newline or, with -0, by NUL. Lines that could not be
// printed are a failure, said once on err: "the `what` could not be printed".
class LinePrinter {
  public:
    LinePrinter(std::ostream& out, std::ostream& err, bool nullEnded, std::string what)
        : m_out(out), m_err(err), m_nullEnded(nullEnded), m_what(std::move(what)) {}
    void Print(const std::string& line);
    bool AllPrinted() const { return m_printed; }

  private:
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_nullEnded;
    std::string m_what;
    bool m_printed = true;
};

// --list: the entries of every input, whatever happens to the others. 0 when every input was
// an icon or cursor and all its lines were printed, else 1.
int ListIcons(const ConvertCommand& command, std::ostream& out, std::ostream& err);

}  // namespace zentrova
