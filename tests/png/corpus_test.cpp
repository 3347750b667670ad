// The conformance image suite decoded through the picture container, compared with a reviewed
// table: each file's pngdecode line and the CRC-32 of its pixel rows. Setting
// POGODA_UPDATE_GOLDEN=1 rewrites the table from the current decoder instead.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>

#include "framework/core/text.h"
#include "graphics/bitmap.h"
#include "graphics/picture.h"
#include "tools/pngdecode/picture_report.h"

namespace pogoda {
namespace {

const std::filesystem::path kDir = POGODA_PNG_TEST_DIR;

std::string Decode(const std::string& file) {
    TPicture picture;
    try {
        picture.LoadPictureFile((kDir / "corpus" / file).string());
    } catch (const Exception& e) {
        return DescribeError(e) + "\t-";
    }
    const auto* bitmap = dynamic_cast<const TBitmap*>(picture.Graphic());
    const std::string crc = bitmap && !bitmap->Empty() ? IntToHex(PixelRowsCrc(*bitmap), 8) : "-";
    return DescribePicture(picture) + "\t" + crc;
}

TEST(PNGCorpus, MatchesTheGoldenTable) {
    std::map<std::string, std::string> actual;
    for (const auto& entry : std::filesystem::directory_iterator(kDir / "corpus")) {
        if (entry.path().extension() == ".png") {
            const std::string name = entry.path().filename().string();
            actual[name] = Decode(name);
        }
    }
    ASSERT_GT(actual.size(), 150u);
    const auto golden = kDir / "golden.tsv";
    if (std::getenv("POGODA_UPDATE_GOLDEN") != nullptr) {
        std::ofstream out(golden, std::ios::binary);
        for (const auto& [name, line] : actual) {
            out << name << '\t' << line << '\n';
        }
        return;
    }
    std::ifstream in(golden, std::ios::binary);
    ASSERT_TRUE(in) << golden;
    std::map<std::string, std::string> expected;
    for (std::string line; std::getline(in, line);) {
        const auto tab = line.find('\t');
        expected[line.substr(0, tab)] = line.substr(tab + 1);
    }
    for (const auto& [name, line] : expected) {
        EXPECT_EQ(actual.count(name) ? actual[name] : "missing file", line) << name;
    }
    EXPECT_EQ(actual.size(), expected.size());
}

TEST(PNGCorpus, ValidFilesDecodeAndBrokenOnesFail) {
    for (const auto& entry : std::filesystem::directory_iterator(kDir / "corpus")) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".png") {
            continue;
        }
        const std::string line = Decode(name);
        // Files whose name starts with "x" are the suite's deliberately broken ones.
        EXPECT_EQ(line.rfind(name[0] == 'x' ? "error EInvalidGraphic: " : "ok ", 0), 0u)
            << name << ": " << line;
    }
}

}  // namespace
}  // namespace pogoda
