#include "tests/support/test_files.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace test_support {

namespace fs = std::filesystem;

fs::path SourceDir() {
    if (const char* dir = std::getenv("ZENTROVA_SOURCE_DIR")) return dir;
    return fs::current_path();
}

fs::path CorporaDir() {
    if (const char* dir = std::getenv("ZENTROVA_CORPORA_DIR")) return dir;
    return SourceDir() / "tests" / "corpora";
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TempDir::TempDir() {
    // A random name, taken only when this process made the folder: create_directory says so.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path path =
            fs::temp_directory_path() / ("zentrova-test-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(path, error)) {
            // Its owner's alone, as a temporary folder should be.
            fs::permissions(path, fs::perms::owner_all);
            m_path = path;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

}  // namespace test_support
