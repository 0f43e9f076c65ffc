#pragma once

#include <string>

// Keys and values written into the test's own Wine prefix, under HKEY_LOCAL_MACHINE.
namespace test_support {

// Writes a string value, with its terminating NUL or without it.
void WriteMachineString(const std::string& key, const std::string& name, const std::string& text,
                        bool withNul);
// Removes the key and everything below it.
void RemoveMachineKey(const std::string& key);

}  // namespace test_support
