// zentrova-convert as a user runs it: a separate process, compared with the window's own
// handlers run here for the same input and size.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/headless_conversion.h"
#include "main_window/frm_main.h"
#include "platform/forms/headless_runtime.h"
#include "platform/pictures/picture_files.h"
#include "tests/platform/pictures/codecs/jpeg_test_writer.h"
#include "tests/support/child_process.h"
#include "tests/support/form_services.h"
#include "tests/support/other_users.h"
#include "tests/support/resident_memory.h"
#include "tests/support/test_files.h"

extern char** environ;

namespace zentrova {
namespace {

namespace fs = std::filesystem;
using test_support::CorporaDir;
using test_support::ReadBytes;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the converter in workDir, its output kept in files there. Without a display: no
// DISPLAY, WAYLAND_DISPLAY or Qt platform reaches it, only the extra variables given. A
// launcher, when given, starts it (its first word a full path).
Result RunConverter(const std::vector<std::string>& args, const fs::path& workDir,
                    const std::vector<std::string>& extraEnvironment = {},
                    const std::vector<std::string>& launcher = {}) {
    test_support::Program program{.args = launcher,
                                  .environment = std::vector<std::string>(),
                                  .workDir = workDir,
                                  .out = workDir / ".stdout",
                                  .err = workDir / ".stderr"};
    program.args.push_back(ZENTROVA_CONVERT_PROGRAM);
    program.args.insert(program.args.end(), args.begin(), args.end());
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        if (entry.starts_with("DISPLAY=") || entry.starts_with("WAYLAND_DISPLAY=") ||
            entry.starts_with("QT_QPA_PLATFORM=")) {
            continue;
        }
        program.environment->emplace_back(entry);
    }
    program.environment->insert(program.environment->end(), extraEnvironment.begin(),
                                extraEnvironment.end());

    Result result;
    result.status = test_support::RunProgram(program).status;
    result.out = test_support::ReadText(program.out);
    result.err = test_support::ReadText(program.err);
    fs::remove(program.out);
    fs::remove(program.err);
    return result;
}

// The window: File > Open choosing `input`, Enter in the Save dialog, after clicking the Size
// menu entry `sizeIndex`. Returns the path written.
std::string SaveInWindow(const std::string& input, int sizeIndex) {
    test_support::FormServices<platform::HeadlessRuntime> scripted;
    frmMain form(scripted.services);
    form.Show();
    form.mnuSize.Click(sizeIndex);
    scripted.dialogs.Answer(input);
    scripted.dialogs.Answer(input);
    form.mnuOpen.Click();
    const std::vector<test_support::ShownMessage>& shown = scripted.messageBoxes.shown;
    EXPECT_TRUE(shown.empty()) << shown.front().prompt;
    return form.SavePath;
}

class Converter : public ::testing::Test {
  protected:
    // A copy of a corpus file in the test's folder.
    std::string Copy(const std::string& corpusFile, const std::string& name,
                     const fs::path& folder = {}) {
        const fs::path target = (folder.empty() ? dir.Path() : folder) / name;
        fs::create_directories(target.parent_path());
        fs::copy_file(CorporaDir() / corpusFile, target, fs::copy_options::overwrite_existing);
        return target.string();
    }
    Result Run(const std::vector<std::string>& args) { return RunConverter(args, dir.Path()); }

    test_support::TempDir dir;
};

TEST_F(Converter, WritesWhatTheWindowWritesByteForByte) {
    struct Case {
        std::string corpusFile;
        std::string name;
        std::vector<int> sizes;
    };
    const std::vector<Case> cases = {
        {"bmpsuite/html/rgb24.jpg", "photo.jpg", {16, 24, 32, 48, 64}},
        {"pillow-ico-cur/python.ico", "python.ico", {16, 32, 64}},
        {"gif-test-suite/static_transparent.gif", "clear.gif", {32}},
        {"bmpsuite/g/pal8.bmp", "pal8.bmp", {32}},
        {"pillow-ico-cur/deerstalker.cur", "hat.cur", {24}},
        {"pngsuite/basn2c08.png", "rgb.png", {32}},
    };
    const std::vector<int> menu = {16, 24, 32, 48, 64};
    for (const Case& c : cases) {
        for (int size : c.sizes) {
            SCOPED_TRACE(c.name + " at " + std::to_string(size));
            const int index =
                static_cast<int>(std::find(menu.begin(), menu.end(), size) - menu.begin());
            const std::string windowSaved =
                SaveInWindow(Copy(c.corpusFile, c.name, dir.Path() / "window"), index);
            const std::string input = Copy(c.corpusFile, c.name, dir.Path() / "convert");

            const Result result = Run({"--size", std::to_string(size), input});
            ASSERT_EQ(result.status, 0) << result.err;
            EXPECT_EQ(result.err, "");
            const fs::path written = dir.Path() / "convert" / fs::path(windowSaved).filename();
            EXPECT_EQ(result.out, written.string() + "\n");
            EXPECT_EQ(ReadBytes(written), ReadBytes(windowSaved));
        }
    }
}

TEST_F(Converter, AddsTheExtensionUnlessTheNameEndsInItInAnyCase) {
    const std::string photo = Copy("bmpsuite/g/rgb24.bmp", "photo.bmp");
    const std::string icon = Copy("pillow-ico-cur/hopper.ico", "hopper.ICO");
    const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
        {{"-o", "out.ico", photo}, "out.ico"},      {{"-o", "Out.Ico", photo}, "Out.Ico"},
        {{"-o", "out.png", photo}, "out.png.ICO"},  {{"-o", "view.bmp", icon}, "view.bmp"},
        {{"-o", "view.ico", icon}, "view.ico.BMP"}, {{"--output=sub/../x", photo}, "x.ICO"},
    };
    for (const auto& [args, expected] : runs) {
        SCOPED_TRACE(args[1]);
        fs::create_directories(dir.Path() / "sub");
        const Result result = Run(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, (dir.Path() / expected).string() + "\n");
        EXPECT_TRUE(fs::is_regular_file(dir.Path() / expected));
    }
    EXPECT_FALSE(fs::exists(dir.Path() / "out.ico.ICO"));
    EXPECT_EQ(platform::LoadPicture(dir.File("view.bmp")).Type(), platform::PictureType::Bitmap);
}

TEST_F(Converter, NeedsNoDisplay) {
    const std::string photo = Copy("bmpsuite/g/rgb24.bmp", "photo.bmp");
    // A Qt program would give up here: there is no X server to connect to.
    const Result result = RunConverter({photo}, dir.Path(), {"QT_QPA_PLATFORM=xcb"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, photo + ".ICO\n");
}

TEST_F(Converter, SavesBesideARelativeInputAndAgainOverItsOwnResult) {
    Copy("gif-test-suite/static_nontransparent.gif", "logo.gif");
    for (int run = 0; run < 2; ++run) {
        const Result result = Run({"logo.gif"});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, dir.File("logo.gif.ICO") + "\n") << "run " << run;
    }
}

TEST_F(Converter, SavesEachInputUnderItsOwnNameInTheFolderOfDashD) {
    const std::string a = Copy("gif-test-suite/static_transparent.gif", "a.gif", dir.Path() / "in");
    const std::string b = Copy("pillow-ico-cur/python.ico", "b.ico", dir.Path() / "in");
    fs::create_directory(dir.Path() / "out");
    const Result result = Run({"-d", "out", a, b});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, dir.File("out/a.gif.ICO") + "\n" + dir.File("out/b.ico.BMP") + "\n");
    EXPECT_TRUE(fs::is_regular_file(dir.Path() / "out" / "a.gif.ICO"));
    EXPECT_TRUE(fs::is_regular_file(dir.Path() / "out" / "b.ico.BMP"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path() / "in"), fs::directory_iterator()), 2)
        << "nothing is written beside the inputs";
}

TEST_F(Converter, WarnsWhenOneRunWritesAFileTwiceAndTheLastWins) {
    const std::string a = Copy("gif-test-suite/static_transparent.gif", "x.gif", dir.Path() / "a");
    const std::string b = Copy("bmpsuite/g/pal8.bmp", "x.gif", dir.Path() / "b");
    fs::create_directory(dir.Path() / "out");
    const Result result = Run({"-d", "out", a, b, "-0", "./b/x.gif"});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string written = dir.File("out/x.gif.ICO");
    EXPECT_EQ(result.out, std::string(written + '\0') + written + '\0' + written + '\0');
    const std::string warning =
        "zentrova-convert: warning: " + written + " was written again, from ";
    EXPECT_EQ(result.err, warning + b + "; the last one wins\n" + warning + "./b/x.gif" +
                              "; the last one wins\n");
    ASSERT_EQ(Run({"-o", "b-alone.ico", b}).status, 0);
    EXPECT_EQ(ReadBytes(written), ReadBytes(dir.File("b-alone.ico")));
}

TEST_F(Converter, EndsEachPrintedPathWithNulUnderDashZeroForNamesWithNewlines) {
    const std::string a = Copy("bmpsuite/g/pal4.bmp", "two\nlines.bmp");
    const std::string b = Copy("pillow-ico-cur/hopper.ico", "b.ico");
    for (const char* option : {"-0", "--null"}) {
        const Result result = Run({option, a, b});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, std::string(a + ".ICO" + '\0') + b + ".BMP" + '\0') << option;
    }
}

TEST_F(Converter, GoesOnPastAMissingInputAndNamesIt) {
    const std::string a = Copy("bmpsuite/g/pal4.bmp", "a.bmp");
    const std::string b = Copy("pillow-ico-cur/hopper.ico", "b.ico");
    const Result result = Run({a, "missing.jpg", b});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, a + ".ICO\n" + b + ".BMP\n");
    EXPECT_EQ(result.err,
              "zentrova-convert: File " + dir.File("missing.jpg") + " does not exist!\n");
}

TEST_F(Converter, RefusesAFileThatIsNotAPictureAndSaysWhy) {
    std::ofstream(dir.Path() / "notes.jpg") << "not a picture at all\n";
    std::ofstream(dir.Path() / "short.bmp") << std::string("BM\0\0", 4);
    const Result result = Run({"notes.jpg", "short.bmp"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "zentrova-convert: File " + dir.File("notes.jpg") +
                              " is not a valid picture! (bad signature: not a JPEG, GIF, BMP, "
                              "PNG, icon or cursor file)\n"
                              "zentrova-convert: File " +
                              dir.File("short.bmp") +
                              " is not a valid picture! (truncated: file header cut short)\n");
    EXPECT_FALSE(fs::exists(dir.Path() / "notes.jpg.ICO"));
    EXPECT_FALSE(fs::exists(dir.Path() / "short.bmp.ICO"));
}

TEST_F(Converter, MakesTheFolderOfDashDAsMkdirPDoes) {
    const std::string a = Copy("gif-test-suite/static_transparent.gif", "a.gif");
    const Result result = Run({"-0", "-d", "icons/small", a});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, dir.File("icons/small/a.gif.ICO") + '\0');
    EXPECT_TRUE(fs::is_regular_file(dir.Path() / "icons" / "small" / "a.gif.ICO"));
}

TEST_F(Converter, ReportsAFolderItCannotMakeOnceAndConvertsNothing) {
    const std::string a = Copy("bmpsuite/g/rgb16.bmp", "a.bmp");
    const std::string b = Copy("bmpsuite/g/pal8.bmp", "b.bmp");
    std::ofstream(dir.Path() / "plain") << "a file, not a folder";
    const Result result = Run({"-d", "plain/sub", a, b});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "zentrova-convert: the folder plain/sub could not be made (Not a directory), so no "
              "input was converted\n");
}

// A limit on the size of files fails the save like a full disk, not the whole run.
TEST_F(Converter, ReportsAFileSizeLimitAsAFailedSaveAndLeavesNoTemporaryFile) {
    const std::string photo = Copy("bmpsuite/g/rgb24.bmp", "photo.bmp");
    // A 32 x 32 icon takes 4,286 bytes: over a limit of 2,048.
    const Result result = RunConverter({"-o", "out", photo}, dir.Path(), {},
                                       {"/bin/sh", "-c", "ulimit -f 2 && exec \"$0\" \"$@\""});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "zentrova-convert: File " + dir.File("out.ICO") +
                              " could not be written! (File too large)\n");
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.Path())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".zentrova-")) << entry.path();
    }
}

// Whoever reads the paths must learn that some were lost: each input is still converted,
// and the status says it.
TEST_F(Converter, ReportsOnceThatPathsCouldNotBePrintedAndConvertsEveryInput) {
    std::vector<std::string> inputs;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        inputs.push_back(Copy("bmpsuite/g/pal8.bmp", name));
    const std::vector<std::pair<std::string, std::string>> outputs = {
        {"exec \"$0\" \"$@\" >/dev/full", "No space left on device"},
        // A pipe whose reader has gone before the first path is printed.
        {"exec > >(exit 0); wait $!; exec \"$0\" \"$@\"", "Broken pipe"},
    };
    for (const auto& [script, reason] : outputs) {
        SCOPED_TRACE(reason);
        for (const std::string& input : inputs) fs::remove(input + ".ICO");
        const Result result = RunConverter(inputs, dir.Path(), {}, {"/bin/bash", "-c", script});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err,
                  "zentrova-convert: the paths written could not be printed (" + reason + ")\n");
        for (const std::string& input : inputs) EXPECT_TRUE(fs::exists(input + ".ICO")) << input;
    }
}

TEST_F(Converter, RefusesAFileTheUserMayNotWriteAndLeavesIt) {
    RUN_AS_ROOT();
    const std::string photo = Copy("bmpsuite/g/rgb16.bmp", "photo.bmp");
    fs::permissions(dir.Path(), fs::perms::all);
    const std::vector<std::uint8_t> old = {0, 0, 1, 0, 7};
    test_support::WriteBytes(dir.File("photo.bmp.ICO"), old);
    fs::permissions(dir.File("photo.bmp.ICO"), fs::perms::owner_read | fs::perms::group_read);
    // Root may write anything: an ordinary user runs it.
    const Result result = RunConverter({photo}, dir.Path(), {}, test_support::NobodyLauncher());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "zentrova-convert: File " + dir.File("photo.bmp.ICO") +
                              " could not be written! (Permission denied)\n");
    EXPECT_EQ(ReadBytes(dir.File("photo.bmp.ICO")), old);
}

TEST_F(Converter, RefusesALinkAnotherUserPlantedInASharedFolderAndLeavesBoth) {
    RUN_AS_ROOT();
    fs::permissions(dir.Path(), fs::perms::all);
    const fs::path shared = dir.Path() / "shared";
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
    const std::string photo = Copy("bmpsuite/g/rgb16.bmp", "photo.bmp", shared);
    const std::string secret = dir.File("secret");
    const std::vector<std::uint8_t> old = {0, 0, 1, 0, 7};
    test_support::WriteBytes(secret, old);
    fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write);
    const std::string link = photo + ".ICO";
    ASSERT_EQ(test_support::RunAsNobody([&] { return ::symlink(secret.c_str(), link.c_str()); }),
              0);
    const Result result = Run({photo});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "zentrova-convert: File " + link +
                              " could not be written! (another user's symbolic link in a sticky "
                              "world-writable folder)\n");
    EXPECT_EQ(ReadBytes(secret), old);
    EXPECT_EQ(fs::read_symlink(link), secret);
}

TEST_F(Converter, AnswersAUsageErrorWithStatus2AndWritesNothing) {
    const std::string a = Copy("bmpsuite/g/pal8.bmp", "a.bmp");
    const Result result = Run({"-o", "x.ico", a, a});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err,
              "zentrova-convert: -o takes one input file only\n"
              "Try 'zentrova-convert --help' for more information.\n");
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(fs::exists(dir.Path() / "x.ico"));
    EXPECT_EQ(Run({}).status, 2);
}

// getopt's rule: an option's value is the next word as written.
TEST_F(Converter, TakesAnOptionValueThatLooksLikeAnOptionAsAName) {
    const std::string photo = Copy("bmpsuite/g/rgb24.bmp", "photo.bmp");
    const Result result = Run({"-o", "--help", photo});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, dir.File("--help.ICO") + "\n");
    EXPECT_TRUE(fs::is_regular_file(dir.Path() / "--help.ICO"));
}

TEST_F(Converter, PrintsItsVersionAndHelp) {
    Result result = Run({"--version"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "zentrova-convert " ZENTROVA_VERSION "\n");
    result = Run({"photo.jpg", "--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.starts_with("Usage: zentrova-convert ")) << result.out;
}

// The converter needs the top-left corner alone: no overview, and of a progressive file only
// the first rows of each scan. Its coefficients would take 18 MB, its pixels 24 MB. Measured
// on the converter's own handlers here, where the high-water mark can be reset (the
// sanitizers' start-up sets a child process's far above what the conversion takes).
TEST_F(Converter, ConvertsALargeProgressiveJpegInTheMemoryOfItsFirstRows) {
    platform::Bitmap pixels(3000, 2000, platform::PixelFormat::Colour);
    for (int y = 0; y < pixels.Height(); ++y) {
        for (int x = 0; x < pixels.Width(); ++x)
            pixels.Set(x, y,
                       0xFF000000u | static_cast<std::uint32_t>((x * 7 + y * 13) % 251) << 8 |
                           static_cast<std::uint32_t>((x ^ y) % 256));
    }
    const std::string input = dir.File("large.jpg");
    test_support::WriteBytes(input,
                             test_support::CompressJpegColour(
                                 pixels, {.hSampling = 2, .vSampling = 2, .progressive = true}));
    pixels = platform::Bitmap();
    const ConvertCommand command = ParseConvertCommand({input});
    std::ostringstream err;
    long long growth = 0;
    const bool measured = test_support::PeakGrowth(
        [&] { EXPECT_TRUE(ConvertFile(input, command, err).has_value()) << err.str(); }, growth);
    if (!measured) GTEST_SKIP() << "the resident memory's high-water mark cannot be reset";
    EXPECT_LT(growth, 6ll << 20);
}

}  // namespace
}  // namespace zentrova
