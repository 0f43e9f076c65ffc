#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/registry.h"

namespace platform {

// Reads a hive's export text into a registry, line by line; the first fault refuses the
// hive, leaving the registry empty with the reason as its LoadError().
class HiveReader {
  public:
    explicit HiveReader(Registry& registry) : m_registry(registry) {}

    void Read(std::string_view text);

  private:
    void Fail(std::size_t line, const std::string& reason);
    void Fail(const std::string& reason) { Fail(m_index + 1, reason); }

    void ReadLine(std::string_view line);
    void ReadSection(std::string_view line);
    bool ReadQuoted(std::string_view line, std::size_t& pos, std::string& out);
    void ReadValue(const std::string& name, std::string_view rest);
    bool ReadHex(std::string_view rest, Registry::Value& value);
    bool ReadHexBytes(std::string_view text, std::vector<std::uint8_t>& out, bool goesOn);

    Registry& m_registry;
    std::vector<std::string> m_lines;
    std::size_t m_index = 0;
    std::optional<std::string> m_section;
};

}  // namespace platform
