#include "app/machine_hive.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/current_executable.h"
#include "tests/support/test_files.h"

namespace zentrova {
namespace {

using test_support::TempDir;

TEST(MachineHive, LiesInShareBesideTheProgramsFolder) {
    EXPECT_EQ(MachineHivePath("/opt/zentrova/bin/zentrova"),
              "/opt/zentrova/share/zentrova/machine.reg");
    EXPECT_EQ(MachineHivePath(""), "");
    EXPECT_EQ(CurrentExecutable().stem(), "app_tests");
}

TEST(MachineHive, ARefusedHiveIsSaidOnceAndLeavesAnEmptyRegistry) {
    TempDir dir;
    const std::string hive = dir.File("machine.reg");
    test_support::WriteBytes(hive, {'n', 'o', 't', ' ', 'a', ' ', 'h', 'i', 'v', 'e', '\n'});
    std::ostringstream errors;
    const platform::Registry registry = LoadMachineRegistry(hive, errors);
    EXPECT_NE(registry.LoadError(), "");
    EXPECT_EQ(errors.str(), "zentrova: the system information settings in " + hive +
                                " could not be read: " + registry.LoadError() + "\n");
}

TEST(MachineHive, AMissingOrGoodHiveSaysNothing) {
    std::ostringstream errors;
    TempDir dir;
    const platform::Registry missing = LoadMachineRegistry(dir.File("machine.reg"), errors);
    EXPECT_NE(missing.LoadError(), "");
    const platform::Registry good = LoadMachineRegistry(
        test_support::SourceDir() / "resources" / "registry" / "machine.reg", errors);
    EXPECT_EQ(good.LoadError(), "");
    EXPECT_EQ(errors.str(), "");
}

}  // namespace
}  // namespace zentrova
