#include "app/machine_hive.h"

#include <gtest/gtest.h>

namespace zentrova {
namespace {

TEST(MachineHive, LiesInShareBesideTheProgramsFolder) {
    EXPECT_EQ(MachineHivePath("/opt/zentrova/bin/zentrova"),
              "/opt/zentrova/share/zentrova/machine.reg");
    EXPECT_EQ(MachineHivePath(""), "");
    EXPECT_EQ(CurrentExecutable().filename(), "app_tests");
}

}  // namespace
}  // namespace zentrova
