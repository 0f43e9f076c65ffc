#include "platform/system/registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace platform {
namespace {

using test_support::SourceDir;

constexpr REGSAM kAccess = 0x0002003F;
const std::string kSampleKey = "SOFTWARE\\Zentrova Test";

Registry SampleHive(const std::string& file = "machine_crlf.reg") {
    return Registry(SourceDir() / "tests" / "data" / "registry" / file);
}

struct Read {
    LONG result = -1;
    DWORD type = 0;
    DWORD size = 0;
    std::string data;  // the size bytes returned
};

// Opens, queries into a buffer of bufferSize and closes, as the About dialog does.
Read ReadValue(Registry& registry, const std::string& key, const std::string& name,
               DWORD bufferSize = 1024) {
    Read read;
    HKEY handle = 0;
    read.result = registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, kAccess, &handle);
    if (read.result != ERROR_SUCCESS) return read;
    std::string buffer(bufferSize, '\0');
    read.size = bufferSize;
    read.result =
        registry.RegQueryValueExA(handle, name, nullptr, &read.type, buffer.data(), &read.size);
    if (read.result == ERROR_SUCCESS) read.data = buffer.substr(0, read.size);
    EXPECT_EQ(registry.RegCloseKey(handle), ERROR_SUCCESS);
    return read;
}

TEST(Registry, ReadsStringsWithTheirNulAndWithout) {
    Registry registry = SampleHive();
    ASSERT_EQ(registry.LoadError(), "");
    const Read path = ReadValue(registry, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH");
    EXPECT_EQ(path.type, REG_SZ);
    EXPECT_EQ(
        path.data,
        std::string("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe") +
            '\0');

    const Read withNul = ReadValue(registry, kSampleKey, "WithNul");
    const Read withoutNul = ReadValue(registry, kSampleKey, "WithoutNul");
    EXPECT_EQ(withNul.type, REG_SZ);
    EXPECT_EQ(withoutNul.type, REG_SZ);
    EXPECT_EQ(withNul.data, std::string("MSINFO\0", 7));
    EXPECT_EQ(withoutNul.data, "MSINFO");
}

TEST(Registry, ReadsDwordsEscapesHexContinuationsAndTheDefaultValue) {
    Registry registry = SampleHive();
    const Read count = ReadValue(registry, kSampleKey, "Count");
    EXPECT_EQ(count.type, REG_DWORD);
    EXPECT_EQ(count.data, std::string("\x1f\0\0\0", 4));
    EXPECT_EQ(ReadValue(registry, kSampleKey, "Quoted").data,
              std::string("say \"hi\" to C:\\\0", 16));
    EXPECT_EQ(ReadValue(registry, kSampleKey, "").data, std::string("default text\0", 13));
    EXPECT_EQ(ReadValue(registry, kSampleKey, "Accented").data, std::string("Caf\xC3\xA9\0", 6));
    const Read blob = ReadValue(registry, kSampleKey, "Blob");
    EXPECT_EQ(blob.type, REG_BINARY);
    ASSERT_EQ(blob.size, 26u);
    EXPECT_EQ(blob.data.back(), '\x1a');
}

TEST(Registry, ReadsTheUtf16ExportLikeTheUtf8One) {
    Registry utf16 = SampleHive("machine_utf16.reg");
    ASSERT_EQ(utf16.LoadError(), "");
    Registry utf8 = SampleHive();
    for (const std::string name :
         {"WithNul", "WithoutNul", "Quoted", "Accented", "Blob", "Count"}) {
        const Read a = ReadValue(utf16, kSampleKey, name);
        const Read b = ReadValue(utf8, kSampleKey, name);
        EXPECT_EQ(a.result, ERROR_SUCCESS) << name;
        EXPECT_EQ(a.type, b.type) << name;
        EXPECT_EQ(a.data, b.data) << name;
    }
}

TEST(Registry, NamesCompareWithoutCaseAndAncestorKeysExist) {
    Registry registry = SampleHive();
    EXPECT_EQ(ReadValue(registry, "software\\microsoft\\SHARED TOOLS\\msinfo", "path").result,
              ERROR_SUCCESS);
    HKEY software = 0, msinfo = 0;
    ASSERT_EQ(
        registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft", 0, kAccess, &software),
        ERROR_SUCCESS);
    EXPECT_EQ(registry.RegOpenKeyExA(software, "Shared Tools\\MSINFO", 0, kAccess, &msinfo),
              ERROR_SUCCESS);
    EXPECT_EQ(registry.OpenKeyCount(), 2u);
    registry.RegCloseKey(msinfo);
    registry.RegCloseKey(software);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

TEST(Registry, DataLongerThanTheBufferGivesMoreDataAndTheSizeNeeded) {
    Registry registry = Registry::FromText(
        "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"Long\"=\"" +
        std::string(1100, 'x') + "\"\n");
    HKEY key = 0;
    ASSERT_EQ(registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "K", 0, kAccess, &key), ERROR_SUCCESS);
    std::string buffer(1024, '\0');
    DWORD size = 1024;
    EXPECT_EQ(registry.RegQueryValueExA(key, "Long", nullptr, nullptr, buffer.data(), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 1101u);
    EXPECT_EQ(buffer, std::string(1024, '\0')) << "nothing is written on failure";
    registry.RegCloseKey(key);
}

TEST(Registry, MissingKeysAndValuesAreNotFound) {
    Registry registry = SampleHive();
    HKEY key = 0x1234;
    EXPECT_EQ(
        registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", 0,
                               kAccess, &key),
        ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0x1234u) << "a failed open leaves the handle variable alone";
    EXPECT_EQ(ReadValue(registry, kSampleKey, "Nothing").result, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

TEST(Registry, ClosingAHandleThatIsNotOpenFailsHarmlessly) {
    Registry registry = SampleHive();
    HKEY key = 0;
    ASSERT_EQ(registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSampleKey, 0, kAccess, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(registry.RegCloseKey(0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry.RegCloseKey(key + 4), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry.OpenKeyCount(), 1u);
    EXPECT_EQ(registry.RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(registry.RegCloseKey(key), ERROR_INVALID_HANDLE);
    DWORD size = 4;
    char data[4];
    EXPECT_EQ(registry.RegQueryValueExA(key, "Count", nullptr, nullptr, data, &size),
              ERROR_INVALID_HANDLE);
}

TEST(Registry, RefusesAHiveThatBreaksTheFormatAsAWhole) {
    const std::string header = "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n";
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n", "line 1"},
        {"Windows Registry Editor Version 5.00\n\"V\"=\"1\"\n", "line 2"},
        {header + "\"V\"=\"1\"\n\"W\"=\"a\\tb\"\n", "line 4"},
        {header + "\"V\"=dword:123456789\n", "line 3"},
        {header + "\"V\"=hex:01,2\n", "line 3"},
        {header + "\"V\"=hex:01,02,\\\n", "line 3"},
        {header + "\"V\"=\"\xC3\x28\"\n", "line 3"},
        {header + "[HKEY_NOWHERE\\K]\n", "line 3"},
        {header + "[-HKEY_LOCAL_MACHINE\\K]\n", "line 3"},
        {header + "[HKEY_LOCAL_MACHINE\\" + std::string(256, 'n') + "]\n", "line 3"},
    };
    for (const auto& [text, where] : broken) {
        Registry registry = Registry::FromText(text);
        EXPECT_NE(registry.LoadError().find(where), std::string::npos)
            << text << " -> " << registry.LoadError();
        HKEY key = 0;
        EXPECT_EQ(registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "K", 0, kAccess, &key),
                  ERROR_FILE_NOT_FOUND)
            << text;
    }
    Registry missing(SourceDir() / "tests" / "data" / "registry" / "no_such.reg");
    EXPECT_NE(missing.LoadError(), "");
}

TEST(MachineHive, NamesAnAbsoluteProgram) {
    Registry registry(SourceDir() / "resources" / "registry" / "machine.reg");
    ASSERT_EQ(registry.LoadError(), "");
    const Read read = ReadValue(registry, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH");
    EXPECT_EQ(read.type, REG_SZ);
    EXPECT_TRUE(read.data.starts_with("/usr/bin/")) << read.data;
}

}  // namespace
}  // namespace platform
