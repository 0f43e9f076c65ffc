// The system's registry on Windows, read with the calls and arguments the About box uses.
#include <gtest/gtest.h>

#include <string>

#include "platform/system/registry.h"
#include "tests/platform/system/registry_keys.h"

namespace platform {
namespace {

const std::string kKey = "SOFTWARE\\Zentrova Test\\Shared Tools\\MSINFO";
constexpr REGSAM kKeyAccess = 0x0002003F;

// What the About box reads: the type and the bytes of one value, through a 1024-byte buffer.
struct Read {
    LONG open = -1;
    LONG query = -1;
    DWORD type = 0;
    std::string data;
};

Read ReadValue(Registry& registry, const std::string& key, const std::string& name) {
    HKEY handle = 0;
    Read read;
    read.open = registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, kKeyAccess, &handle);
    if (read.open != ERROR_SUCCESS) return read;
    std::string buffer(1024, '\0');
    DWORD size = 1024;
    read.query = registry.RegQueryValueExA(handle, name, nullptr, &read.type, buffer.data(), &size);
    if (read.query == ERROR_SUCCESS) read.data = buffer.substr(0, size);
    EXPECT_EQ(registry.RegCloseKey(handle), ERROR_SUCCESS);
    return read;
}

// The text as the About box keeps it: a terminating NUL cut off, if the data ends in one.
std::string Text(std::string data) {
    if (!data.empty() && data.back() == '\0') data.pop_back();
    return data;
}

class SystemRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        test_support::WriteMachineString(kKey, "PATH", "C:\\Tools\\msinfo32.exe", true);
        test_support::WriteMachineString(kKey, "BARE", "C:\\Tools", false);
    }
    void TearDown() override { test_support::RemoveMachineKey("SOFTWARE\\Zentrova Test"); }

    Registry m_registry = Registry::System();
};

TEST_F(SystemRegistry, ReadsStringValuesWithAndWithoutTheirNul) {
    const Read path = ReadValue(m_registry, kKey, "PATH");
    EXPECT_EQ(path.query, ERROR_SUCCESS);
    EXPECT_EQ(path.type, REG_SZ);
    EXPECT_EQ(path.data, std::string("C:\\Tools\\msinfo32.exe") + '\0');
    const Read bare =
        ReadValue(m_registry, "software\\zentrova test\\shared tools\\msinfo", "bare");
    EXPECT_EQ(bare.query, ERROR_SUCCESS) << "names in any case";
    EXPECT_EQ(Text(bare.data), "C:\\Tools") << "the same text as one stored with its NUL";
}

TEST_F(SystemRegistry, AnswersNotFoundForAMissingKeyOrValue) {
    EXPECT_EQ(ReadValue(m_registry, kKey + "\\Deeper", "PATH").open, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadValue(m_registry, kKey, "MSINFO").query, ERROR_FILE_NOT_FOUND);
    Registry standIn = Registry::FromText("");
    EXPECT_EQ(ReadValue(standIn, kKey, "PATH").open, ERROR_FILE_NOT_FOUND)
        << "a hive-made registry stays the stand-in";
}

}  // namespace
}  // namespace platform
