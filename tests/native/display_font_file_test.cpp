// The committed display font is exactly what its generator makes, so a change to the generator
// that was not followed by a rebuild of assets/fonts/Spotlex2.ttf shows here.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kRepo = fs::path(__FILE__).parent_path().parent_path().parent_path();

std::vector<char> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(DisplayFontFile, GeneratorRebuildsTheCommittedFontByteForByte) {
    if (std::system("/usr/bin/python3 -c 'import fontTools' >/dev/null 2>&1") != 0 ||
        !fs::exists("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"))
        GTEST_SKIP() << "needs python3-fonttools and fonts-dejavu-core";
    const fs::path fresh = fs::temp_directory_path() / ("spotlex-font-" + std::to_string(getpid()) + ".ttf");
    const std::string command = "/usr/bin/python3 '" + (kRepo / "tools/font/make_font.py").string() +
                                "' --output '" + fresh.string() + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<char> built = ReadAll(fresh);
    fs::remove(fresh);
    const std::vector<char> committed = ReadAll(kRepo / "assets/fonts/Spotlex2.ttf");
    ASSERT_FALSE(committed.empty());
    EXPECT_EQ(built.size(), committed.size());
    EXPECT_TRUE(built == committed) << "rebuild with tools/font/make_font.py and commit the font";
}
