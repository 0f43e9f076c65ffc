// The command lines of zentrova-convert and zentrova.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include "tests/support/test_files.h"

namespace zentrova {
namespace {

TEST(ConvertCommandLine, TakesSizeOutputAndInputsInEitherSpelling) {
    ConvertCommand command = ParseConvertCommand({"--size", "16", "-o", "out.ico", "in.jpg"});
    ASSERT_EQ(command.kind, CommandKind::Run) << command.error;
    EXPECT_EQ(command.size, 16);
    EXPECT_EQ(command.output, "out.ico");
    EXPECT_EQ(command.inputs, std::vector<std::string>{"in.jpg"});

    command = ParseConvertCommand({"a.gif", "--size=64", "--directory=icons", "-size.bmp", "--"});
    EXPECT_EQ(command.kind, CommandKind::UsageError) << "-size.bmp is no option";

    command = ParseConvertCommand({"a.gif", "--size=64", "-dicons", "--", "-b.bmp"});
    ASSERT_EQ(command.kind, CommandKind::Run) << command.error;
    EXPECT_EQ(command.size, 64);
    EXPECT_EQ(command.directory, "icons");
    EXPECT_EQ(command.inputs, (std::vector<std::string>{"a.gif", "-b.bmp"}));
    EXPECT_FALSE(ParseConvertCommand({"x.gif"}).size) << "the window's own size stays";

    EXPECT_FALSE(ParseConvertCommand({"x.gif"}).nullEnded);
    EXPECT_TRUE(ParseConvertCommand({"-0", "x.gif"}).nullEnded);
    command = ParseConvertCommand({"x.gif", "--null", "--", "-0"});
    EXPECT_TRUE(command.nullEnded);
    EXPECT_EQ(command.inputs, (std::vector<std::string>{"x.gif", "-0"}));
}

TEST(ConvertCommandLine, RefusesWhatCannotBeMeant) {
    test_support::TempDir dir;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"--size"},
             {"--size", "33", "a.jpg"},
             {"--size", "", "a.jpg"},
             {"-o", "x.ico", "a.jpg", "b.jpg"},
             {"-o", "x.ico", "-d", "icons", "a.jpg"},
             {"-o", "x.ico", "-o", "y.ico", "a.jpg"},
             {"-d", "", "a.jpg"},
             {"-o", dir.Path().string(), "a.jpg"},
             {"-o", "icons/", "a.jpg"},
             {"--sizes", "0", "a.jpg"},
             {"--sizes", "16,,32", "a.jpg"},
             {"--sizes", "257", "a.jpg"},
             {"--sizes", "16,0032", "a.jpg"},
             {"--sizes", "Windows", "a.jpg"},
             {"--sizes", "16", "--size", "16", "a.jpg"},
             {"--key=12345G", "a.jpg"},
             {"--key=FFFFFF0", "a.jpg"},
             {"--key=", "a.jpg"},
             {"--png=yes", "a.jpg"},
             {"--hotspot", "1,1", "a.jpg"},
             {"--cursor", "--hotspot", "64,0", "a.jpg"},
             {"--hotspot", "15,16", "--sizes", "16", "-o", "a.cur", "a.jpg"},
             {"--cursor", "--hotspot", "1", "a.jpg"},
             {"--cursor", "--hotspot", "1,-1", "a.jpg"},
             {"-x", "a.jpg"},
             {"a.jpg", ""},
             {"--null=yes", "a.jpg"},
             {"-0o", "x.ico", "a.jpg"},
         }) {
        const ConvertCommand command = ParseConvertCommand(args);
        EXPECT_EQ(command.kind, CommandKind::UsageError) << ::testing::PrintToString(args);
        EXPECT_FALSE(command.error.empty());
    }
}

TEST(ConvertCommandLine, TakesListAndExtractAsModesWithOnlyTheirOwnOptions) {
    EXPECT_EQ(ParseConvertCommand({"a.ico"}).mode, ConvertMode::Convert);
    ConvertCommand command = ParseConvertCommand({"a.ico", "--list", "-0", "b.cur"});
    ASSERT_EQ(command.kind, CommandKind::Run) << command.error;
    EXPECT_EQ(command.mode, ConvertMode::List);
    EXPECT_TRUE(command.nullEnded);
    EXPECT_EQ(command.inputs, (std::vector<std::string>{"a.ico", "b.cur"}));
    command = ParseConvertCommand({"--extract", "--directory=out", "a.ico"});
    ASSERT_EQ(command.kind, CommandKind::Run) << command.error;
    EXPECT_EQ(command.mode, ConvertMode::Extract);
    EXPECT_EQ(command.directory, "out");

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--list"},
             {"--extract", "-d", "out"},
             {"--list", "-d", "out", "a.ico"},
             {"--list", "--extract", "a.ico"},
             {"--extract", "-o", "x.png", "a.ico"},
             {"--size", "16", "--extract", "a.ico"},
             {"--list=yes", "a.ico"},
         }) {
        command = ParseConvertCommand(args);
        EXPECT_EQ(command.kind, CommandKind::UsageError) << ::testing::PrintToString(args);
        EXPECT_FALSE(command.error.empty());
    }
}

TEST(ConvertCommandLine, TakesTheIconSetOptions) {
    EXPECT_FALSE(ParseConvertCommand({"-o", "x.ico", "a.png"}).iconSet) << "the window's road";
    ConvertCommand command = ParseConvertCommand({"--sizes", "256,16,32,16", "--png", "a.png"});
    ASSERT_TRUE(command.iconSet) << command.error;
    EXPECT_EQ(command.iconSet->sizes, (std::vector<int>{16, 32, 256}));
    EXPECT_TRUE(command.iconSet->pngEverySize);
    EXPECT_FALSE(command.iconSet->cursor);
    EXPECT_EQ(ParseConvertCommand({"--sizes=favicon", "a.png"}).iconSet->sizes,
              (std::vector<int>{16, 32, 48}));

    // The key's colour is the next word only when it is one; else the top-left pixel's.
    command = ParseConvertCommand({"--key", "#FF8000", "a.png"});
    ASSERT_TRUE(command.iconSet) << command.error;
    EXPECT_EQ(command.iconSet->key, KeyRule::Colour);
    EXPECT_EQ(command.iconSet->keyColour, 0x0080FFu);
    command = ParseConvertCommand({"--key", "a.png"});
    EXPECT_EQ(command.iconSet->key, KeyRule::TopLeft);
    EXPECT_EQ(command.inputs, std::vector<std::string>{"a.png"});

    // An output named .cur is a cursor, of the cursor sizes unless told.
    command = ParseConvertCommand({"-o", "hand.CUR", "--hotspot", "63,10", "a.png"});
    ASSERT_TRUE(command.iconSet) << command.error;
    EXPECT_TRUE(command.iconSet->cursor);
    EXPECT_EQ(command.iconSet->sizes, (std::vector<int>{32, 48, 64}));
    EXPECT_EQ(command.iconSet->xHotspot, 63);
    EXPECT_EQ(command.iconSet->yHotspot, 10);
}

TEST(ConvertCommandLine, AnswersHelpAndVersionBeforeAnyFault) {
    EXPECT_EQ(ParseConvertCommand({"-x", "--help"}).kind, CommandKind::Help);
    EXPECT_EQ(ParseConvertCommand({"--version", "-o"}).kind, CommandKind::Version);
    EXPECT_EQ(ParseConvertCommand({"--", "--help"}).kind, CommandKind::Run);
    EXPECT_EQ(ProgramVersion(), ZENTROVA_VERSION) << "the record and the build agree";
}

TEST(ConvertCommandLine, TakesTheWordAfterAnOptionAsItsValueWhateverItLooksLike) {
    ConvertCommand command = ParseConvertCommand({"-o", "--help", "x.jpg"});
    ASSERT_EQ(command.kind, CommandKind::Run) << command.error;
    EXPECT_EQ(command.output, "--help");
    EXPECT_EQ(command.inputs, std::vector<std::string>{"x.jpg"});

    command = ParseConvertCommand({"--directory", "--version", "-0", "--", "x.jpg"});
    ASSERT_EQ(command.kind, CommandKind::Run) << command.error;
    EXPECT_EQ(command.directory, "--version");
    EXPECT_EQ(command.inputs, std::vector<std::string>{"x.jpg"});

    EXPECT_EQ(ParseConvertCommand({"-d", "-h", "x.jpg"}).directory, "-h");
    EXPECT_EQ(ParseConvertCommand({"-o", "--help"}).kind, CommandKind::UsageError)
        << "no input left";
    EXPECT_EQ(ParseConvertCommand({"--size", "--help", "x.jpg"}).kind, CommandKind::UsageError);
}

TEST(DesktopCommandLine, OpensOneFileOrNone) {
    EXPECT_FALSE(ParseDesktopCommand({}).file);
    EXPECT_EQ(ParseDesktopCommand({"photo.jpg"}).file, "photo.jpg");
    EXPECT_EQ(ParseDesktopCommand({"--", "-photo.jpg"}).file, "-photo.jpg");
    EXPECT_EQ(ParseDesktopCommand({"a.jpg", "b.jpg"}).kind, CommandKind::UsageError);
    EXPECT_EQ(ParseDesktopCommand({"--fullscreen"}).kind, CommandKind::UsageError);
    EXPECT_EQ(ParseDesktopCommand({"a.jpg", "--help"}).kind, CommandKind::Help);
    EXPECT_EQ(ParseDesktopCommand({"--version"}).kind, CommandKind::Version);
}

}  // namespace
}  // namespace zentrova
