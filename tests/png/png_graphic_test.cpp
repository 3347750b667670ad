#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>
#include <zlib.h>

#include "framework/core/streams.h"
#include "graphics/lz77_decoder.h"
#include "graphics/png_crc.h"
#include "graphics/png_graphic.h"
#include "tests/png/png_writer.h"

namespace pogoda {
namespace {

using test::Be16;
using test::Be32;
using test::BuildPng;
using test::Bytes;
using test::Chunk;
using test::Concat;
using test::Ihdr;
using test::kSignature;
using test::Pattern;
using test::RawImage;

// Loads bytes into a fresh graphic; returns "" or "CLASS: message".
std::string Load(TPNGGraphic& graphic, const Bytes& file) {
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
    stream.SetPosition(0);
    try {
        graphic.LoadStream(stream);
    } catch (const Exception& e) {
        return std::string(e.ClassName()) + ": " + e.Message();
    }
    return "";
}

std::string LoadError(const Bytes& file) {
    TPNGGraphic graphic;
    return Load(graphic, file);
}

Bytes Palette(int entries) {
    Bytes plte;
    for (int i = 0; i < entries; ++i) {
        plte.push_back(static_cast<uint8_t>(i * 3 + 1));
        plte.push_back(static_cast<uint8_t>(i * 5 + 2));
        plte.push_back(static_cast<uint8_t>(255 - i));
    }
    return plte;
}

uint8_t To8(uint32_t v, int depth) {
    switch (depth) {
        case 1:
            return static_cast<uint8_t>(v * 255);
        case 2:
            return static_cast<uint8_t>(v * 85);  // 2-bit values spread to 4 bits, gray step 17
        case 4:
            return static_cast<uint8_t>(v * 17);
        case 16:
            return static_cast<uint8_t>(v * 255 / 65535);
        default:
            return static_cast<uint8_t>(v);
    }
}

// The colour a decoded pixel must show.
TColor Expected(const RawImage& image, uint32_t x, uint32_t y, const Bytes& plte) {
    auto sample = [&](int c) { return To8(image.Sample(x, y, c), image.depth); };
    switch (image.colorType) {
        case 2:
        case 6:
            return RGBColor(sample(0), sample(1), sample(2));
        case 3: {
            const size_t i = image.Sample(x, y, 0);
            return RGBColor(plte[3 * i], plte[3 * i + 1], plte[3 * i + 2]);
        }
        default:
            return RGBColor(sample(0), sample(0), sample(0));
    }
}

void ExpectPixels(const TPNGGraphic& graphic, const RawImage& image, const Bytes& plte) {
    ASSERT_EQ(graphic.Width(), static_cast<int>(image.width));
    ASSERT_EQ(graphic.Height(), static_cast<int>(image.height));
    int mismatches = 0;
    for (uint32_t y = 0; y < image.height; ++y) {
        for (uint32_t x = 0; x < image.width; ++x) {
            const int xi = static_cast<int>(x);
            const int yi = static_cast<int>(y);
            if (graphic.PixelColor(xi, yi) != Expected(image, x, y, plte) && ++mismatches < 5) {
                ADD_FAILURE() << "pixel " << x << "," << y << " type " << int(image.colorType)
                              << " depth " << int(image.depth);
            }
            if (image.colorType == 6) {
                EXPECT_EQ(graphic.ScanLine(yi)[4 * x + 3], To8(image.Sample(x, y, 3), image.depth));
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

struct Format {
    uint8_t colorType;
    uint8_t depth;
    TPixelFormat pixelFormat;
};

const Format kFormats[] = {
    {0, 1, pf1bit},  {0, 2, pf4bit},   {0, 4, pf4bit},  {0, 8, pf8bit},  {0, 16, pf8bit},
    {2, 8, pf24bit}, {2, 16, pf24bit}, {3, 1, pf1bit},  {3, 2, pf4bit},  {3, 4, pf4bit},
    {3, 8, pf8bit},  {4, 8, pf8bit},   {4, 16, pf8bit}, {6, 8, pf32bit}, {6, 16, pf32bit},
};

TEST(PNGDecode, EveryColourTypeAndDepth) {
    for (const Format& f : kFormats) {
        SCOPED_TRACE(testing::Message()
                     << "type " << int(f.colorType) << " depth " << int(f.depth));
        const RawImage image = Pattern(13, 5, f.depth, f.colorType);
        const Bytes plte = Palette(1 << std::min(8, int(f.depth)));
        std::vector<Bytes> before;
        if (f.colorType == 3) {
            before.push_back(Chunk("PLTE", plte));
        }
        TPNGGraphic graphic;
        // Up, Sub, Average, Paeth and None in turn exercise every filter on every layout.
        const auto filters = [](int, uint32_t y) { return static_cast<uint8_t>((y + 2) % 5); };
        ASSERT_EQ(Load(graphic, BuildPng(image, false, before, filters)), "");
        EXPECT_EQ(graphic.PixelFormat(), f.pixelFormat);
        ExpectPixels(graphic, image, plte);
        EXPECT_FALSE(graphic.Transparent());
    }
}

TEST(PNGDecode, Adam7MatchesItsNonInterlacedTwin) {
    // Sizes below 8 leave passes empty; the first row of each pass uses Up, Average or Paeth.
    const uint32_t sizes[][2] = {{1, 1}, {3, 2}, {9, 10}, {17, 5}};
    for (const Format& f : kFormats) {
        for (const auto& size : sizes) {
            SCOPED_TRACE(testing::Message()
                         << "type " << int(f.colorType) << " depth " << int(f.depth) << " size "
                         << size[0] << "x" << size[1]);
            const RawImage image = Pattern(size[0], size[1], f.depth, f.colorType);
            std::vector<Bytes> before;
            if (f.colorType == 3) {
                before.push_back(Chunk("PLTE", Palette(1 << f.depth)));
            }
            const auto filters = [](int pass, uint32_t y) {
                return static_cast<uint8_t>(y == 0 ? 2 + pass % 3 : (pass + y) % 5);
            };
            TPNGGraphic flat;
            TPNGGraphic interlaced;
            ASSERT_EQ(Load(flat, BuildPng(image, false, before)), "");
            ASSERT_EQ(Load(interlaced, BuildPng(image, true, before, filters)), "");
            ASSERT_TRUE(interlaced.ImageSummary().Interlaced);
            for (int y = 0; y < flat.Height(); ++y) {
                ASSERT_EQ(0, std::memcmp(flat.ScanLine(y), interlaced.ScanLine(y),
                                         static_cast<size_t>(flat.Stride())))
                    << "row " << y;
            }
        }
    }
}

TEST(PNGDecode, UnknownFilterTypeLeavesTheRowAsStored) {
    RawImage image = Pattern(4, 2, 8, 0);
    Bytes data = test::FilteredData(image, false, {});
    data[0] = 5;
    const Bytes file = Concat(
        {kSignature, Ihdr(4, 2, 8, 0), Chunk("IDAT", test::Deflate(data)), Chunk("IEND", {})});
    TPNGGraphic graphic;
    ASSERT_EQ(Load(graphic, file), "");
    EXPECT_EQ(Bytes(graphic.ScanLine(0), graphic.ScanLine(0) + 4), image.rows[0]);
}

TEST(PNGDecode, ChunksAroundTheImageData) {
    const RawImage image = Pattern(7, 6, 8, 2);
    TPNGGraphic graphic;
    // Zero-length IDATs, IDAT split into 5-byte pieces, an ancillary text chunk, a short gAMA.
    Bytes file =
        BuildPng(image, false,
                 {Chunk("tEXt", {'a', 0, 'b'}), Chunk("gAMA", {0, 1}), Chunk("IDAT", {})}, {}, 5);
    ASSERT_EQ(Load(graphic, file), "");
    ExpectPixels(graphic, image, {});
    EXPECT_EQ(graphic.ImageSummary().Options, 1);

    // An ancillary chunk with a lower-case first letter is skipped anywhere, and image data
    // that comes again after other chunks is not decoded a second time.
    const Bytes tail = Concat({Chunk("zzZz", {1, 2}), Chunk("IDAT", {9, 9, 9}), Chunk("IEND", {})});
    Bytes extended(file.begin(), file.end() - 12);
    extended = Concat({extended, Chunk("tIME", Bytes(7)), tail});
    ASSERT_EQ(Load(graphic, extended), "");
    ExpectPixels(graphic, image, {});
}

TEST(PNGDecode, GammaTransparencyAndBackground) {
    const RawImage image = Pattern(5, 4, 8, 2);
    TPNGGraphic graphic;
    // 1/2.2 on a 2.2 display: practically no change.
    ASSERT_EQ(Load(graphic, BuildPng(image, false, {Chunk("gAMA", Be32(45455))})), "");
    EXPECT_NEAR(graphic.ImageSummary().FileGamma, 0.45455, 1e-6);
    EXPECT_EQ(graphic.ImageSummary().Options, 3);
    ExpectPixels(graphic, image, {});
    // Gamma 1.0 shown on 2.2 lifts the midtones: 128 becomes 186.
    RawImage gray = Pattern(2, 1, 8, 2);
    gray.rows[0] = {128, 128, 128, 0, 255, 1};
    ASSERT_EQ(Load(graphic, BuildPng(gray, false, {Chunk("gAMA", Be32(100000))})), "");
    EXPECT_EQ(graphic.PixelColor(0, 0), RGBColor(186, 186, 186));
    EXPECT_EQ(graphic.PixelColor(1, 0), RGBColor(0, 255, 21));
    // The gamma of one file does not stay with the graphic for the next.
    ASSERT_EQ(Load(graphic, BuildPng(gray, false)), "");
    EXPECT_EQ(graphic.PixelColor(0, 0), RGBColor(128, 128, 128));

    // tRNS gives the transparent colour (16-bit keys scaled); a short one is ignored.
    const RawImage wide = Pattern(3, 3, 16, 2);
    ASSERT_EQ(
        Load(graphic,
             BuildPng(wide, false, {Chunk("tRNS", Concat({Be16(0xFFFE), Be16(0x8000), Be16(1)}))})),
        "");
    EXPECT_TRUE(graphic.Transparent());
    EXPECT_EQ(graphic.TransparentColor(), RGBColor(254, 127, 0));
    ASSERT_EQ(Load(graphic, BuildPng(wide, false, {Chunk("tRNS", Be16(5)), Chunk("bKGD", {1})})),
              "");
    EXPECT_FALSE(graphic.Transparent());
    const RawImage twoBit = Pattern(3, 3, 2, 0);
    ASSERT_EQ(Load(graphic, BuildPng(twoBit, false, {Chunk("tRNS", Be16(2))})), "");
    EXPECT_EQ(graphic.TransparentColor(), RGBColor(10, 10, 10));
}

TEST(PNGDecode, SixteenBitSamplesTruncate) {
    RawImage image = Pattern(1, 1, 16, 2);
    image.rows[0] = {0xFF, 0xFE, 0xFF, 0xFF, 0x80, 0x00};
    TPNGGraphic graphic;
    ASSERT_EQ(Load(graphic, BuildPng(image, false)), "");
    EXPECT_EQ(graphic.PixelColor(0, 0), RGBColor(254, 255, 127));
}

TEST(PNGDecode, Palettes) {
    TPNGGraphic graphic;
    // A 2-bit image becomes a 4-bit bitmap whose 16 entries repeat each colour.
    const RawImage twoBit = Pattern(6, 2, 2, 3);
    const Bytes plte = Palette(4);
    ASSERT_EQ(Load(graphic, BuildPng(twoBit, false, {Chunk("PLTE", plte)})), "");
    ASSERT_NE(graphic.Palette(), nullptr);
    ASSERT_EQ(graphic.Palette()->Count(), 16);
    for (int i = 0; i < 16; ++i) {
        const int source = i * 3 / 15;
        EXPECT_EQ((*graphic.Palette())[i].Red, plte[static_cast<size_t>(3 * source)]) << i;
    }
    // A palette longer than the depth can index is cut; indices past a short palette are black.
    const RawImage oneBit = Pattern(9, 2, 1, 3);
    ASSERT_EQ(Load(graphic, BuildPng(oneBit, false, {Chunk("PLTE", Palette(5))})), "");
    EXPECT_EQ(graphic.Palette()->Count(), 2);
    RawImage eightBit = Pattern(2, 1, 8, 3);
    eightBit.rows[0] = {1, 200};
    ASSERT_EQ(Load(graphic, BuildPng(eightBit, false, {Chunk("PLTE", Palette(2))})), "");
    EXPECT_EQ(graphic.PixelColor(0, 0), RGBColor(4, 7, 254));
    EXPECT_EQ(graphic.PixelColor(1, 0), clBlack);
    // Without PLTE the bitmap keeps the default palette of its format.
    ASSERT_EQ(Load(graphic, BuildPng(eightBit, false)), "");
    EXPECT_EQ(*graphic.Palette(), TPalette::Halftone());
    // PLTE in a gray image has no effect.
    const RawImage gray = Pattern(4, 4, 8, 0);
    ASSERT_EQ(Load(graphic, BuildPng(gray, false, {Chunk("PLTE", Palette(3))})), "");
    ExpectPixels(graphic, gray, {});
}

TEST(PNGDecode, ImageDataEndingEarlyKeepsTheBackground) {
    RawImage image = Pattern(4, 6, 8, 2);
    const Bytes data = test::Deflate(test::FilteredData(image, false, {}));
    // Only the first part of the stream: the later rows are never produced.
    const Bytes part(data.begin(), data.begin() + static_cast<ptrdiff_t>(data.size() / 3));
    const Bytes file =
        Concat({kSignature, Ihdr(4, 6, 8, 2), Chunk("bKGD", Concat({Be16(10), Be16(20), Be16(30)})),
                Chunk("IDAT", part), Chunk("IEND", {})});
    TPNGGraphic graphic;
    ASSERT_EQ(Load(graphic, file), "");
    EXPECT_EQ(graphic.PixelColor(3, 5), RGBColor(10, 20, 30));
    EXPECT_EQ(graphic.PixelColor(0, 0),
              RGBColor(image.rows[0][0], image.rows[0][1], image.rows[0][2]));
}

// The zlib stream of raw, flushed to a byte boundary and not ended.
Bytes DeflateFlushed(const Bytes& raw) {
    z_stream stream{};
    if (deflateInit(&stream, 9) != Z_OK) {
        throw std::runtime_error("deflateInit failed");
    }
    Bytes out(compressBound(static_cast<uLong>(raw.size())) + 16);
    stream.next_in = const_cast<Bytef*>(raw.data());
    stream.avail_in = static_cast<uInt>(raw.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FULL_FLUSH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// Reading a row also decodes what comes before the next output byte, within the chunk at
// hand: damage met there loses the row itself, damage in the next chunk only the rows after.
TEST(PNGDecode, WhatFollowsARowDecidesWhetherItShows) {
    const RawImage image = Pattern(64, 40, 8, 2);
    const Bytes scanlines = test::FilteredData(image, false, {});
    const auto headBytes = static_cast<ptrdiff_t>(scanlines.size() / 2);  // rows 0 to 19
    const Bytes head = DeflateFlushed(Bytes(scanlines.begin(), scanlines.begin() + headBytes));
    const auto adler = static_cast<uint32_t>(
        adler32(adler32(0, nullptr, 0), scanlines.data(), static_cast<uInt>(headBytes)));
    const Bytes lastBlock = {0x03, 0x00};  // final and empty, fixed codes
    const std::string kCompression =
        "EInvalidGraphic: Cannot load image. Compression error found in PNG file.";
    const std::string kExtra =
        "EInvalidGraphic: Cannot load image. Extra compressed data found in PNG file.";
    struct Case {
        const char* name;
        Bytes tail;
        bool tailInOwnChunk;
        std::string error;
        uint32_t rowsShown;
    } cases[] = {
        {"nothing more", {}, false, "", 20},
        {"end without checksum", lastBlock, false, "", 20},
        {"end with checksum", Concat({lastBlock, Be32(adler)}), false, "", 20},
        {"end with checksum, own chunk", Concat({lastBlock, Be32(adler)}), true, kExtra, 20},
        {"wrong checksum", Concat({lastBlock, Be32(adler ^ 1)}), false, kCompression, 19},
        {"wrong checksum, own chunk", Concat({lastBlock, Be32(adler ^ 1)}), true, kCompression, 20},
        {"invalid block type", {0xFF}, false, kCompression, 19},
        {"invalid block type, own chunk", {0xFF}, true, kCompression, 20},
        {"more after the checksum", Concat({lastBlock, Be32(adler), {0}}), false, kExtra, 19},
    };
    const Bytes background = Chunk("bKGD", Concat({Be16(10), Be16(20), Be16(30)}));
    for (const Case& c : cases) {
        const Bytes data = c.tailInOwnChunk ? Concat({Chunk("IDAT", head), Chunk("IDAT", c.tail)})
                                            : Chunk("IDAT", Concat({head, c.tail}));
        TPNGGraphic graphic;
        EXPECT_EQ(Load(graphic, Concat({kSignature, Ihdr(64, 40, 8, 2), background, data,
                                        Chunk("IEND", {})})),
                  c.error)
            << c.name;
        for (uint32_t y = 0; y < 40; ++y) {
            const TColor wanted =
                y < c.rowsShown ? Expected(image, 7, y, {}) : RGBColor(10, 20, 30);
            EXPECT_EQ(graphic.PixelColor(7, static_cast<int>(y)), wanted) << c.name << " row " << y;
        }
    }
}

const std::string kInvalid =
    "EInvalidGraphic: Cannot load image. Invalid or unexpected PNG image format.";
const std::string kReadError = "EReadError: Stream read error";

TEST(PNGDecode, FailureTable) {
    const RawImage image = Pattern(4, 3, 8, 2);
    const Bytes good = BuildPng(image, false);
    const Bytes idat = Chunk("IDAT", test::Deflate(test::FilteredData(image, false, {})));
    const Bytes iend = Chunk("IEND", {});
    auto withHeader = [&](const Bytes& ihdr, std::initializer_list<Bytes> rest) {
        Bytes out = Concat({kSignature, ihdr});
        for (const Bytes& part : rest) {
            out.insert(out.end(), part.begin(), part.end());
        }
        return out;
    };
    Bytes badSignature = good;
    badSignature[7] = 0x0B;
    Bytes badCrc = good;
    badCrc[good.size() - 13] ^= 1;  // last byte of the IDAT CRC
    Bytes badIhdrCrc = good;
    badIhdrCrc[29] ^= 1;
    Bytes shortIhdr = Chunk("IHDR", Bytes(12, 1));
    Bytes shortRaw = test::FilteredData(image, false, {});
    shortRaw.resize(shortRaw.size() - 5);
    Bytes garbage = test::Deflate(test::FilteredData(image, false, {}));
    garbage[2] ^= 0xFF;
    garbage[3] ^= 0xFF;

    struct Case {
        const char* name;
        Bytes file;
        std::string error;
    } cases[] = {
        {"signature", badSignature, kInvalid},
        {"first chunk", Concat({kSignature, Chunk("gAMA", Be32(1)), good}), kInvalid},
        {"zero width", withHeader(Ihdr(0, 3, 8, 2), {idat, iend}), kInvalid},
        {"short IHDR", withHeader(shortIhdr, {idat, iend}), kInvalid},
        {"too short", Bytes(kSignature.begin(), kSignature.begin() + 5), kInvalid},
        {"compression", withHeader(Ihdr(4, 3, 8, 2, 0, 1), {idat, iend}),
         "EInvalidGraphic: Cannot load image. The compression scheme is not supported for PNG "
         "files."},
        {"IHDR CRC", badIhdrCrc,
         "EInvalidGraphic: Cannot load image. CRC error found in PNG file."},
        {"IDAT CRC", badCrc, "EInvalidGraphic: Cannot load image. CRC error found in PNG file."},
        {"PLTE not triples", withHeader(Ihdr(4, 3, 8, 3), {Chunk("PLTE", Bytes(4)), idat, iend}),
         "EInvalidGraphic: Cannot load image. Palette in PNG file is invalid."},
        {"PLTE empty", withHeader(Ihdr(4, 3, 8, 3), {Chunk("PLTE", {}), idat, iend}),
         "EInvalidGraphic: Cannot load image. Palette in PNG file is invalid."},
        {"colour format", withHeader(Ihdr(4, 3, 4, 2), {idat, iend}),
         "EInvalidGraphic: Invalid color format in PNG file."},
        {"colour type 7", withHeader(Ihdr(4, 3, 8, 7), {idat, iend}),
         "EInvalidGraphic: Invalid color format in PNG file."},
        {"PLTE with bad depth",
         withHeader(Ihdr(4, 3, 16, 3), {Chunk("PLTE", Bytes(3)), idat, iend}),
         "EInvalidGraphic: Invalid color format in PNG file."},
        {"inflate", withHeader(Ihdr(4, 3, 8, 2), {Chunk("IDAT", garbage), iend}),
         "EInvalidGraphic: Cannot load image. Compression error found in PNG file."},
        {"stream ends inside a row",
         withHeader(Ihdr(4, 3, 8, 2), {Chunk("IDAT", test::Deflate(shortRaw)), iend}),
         "EInvalidGraphic: Cannot load image. Extra compressed data found in PNG file."},
        {"critical chunk", withHeader(Ihdr(4, 3, 8, 2), {Chunk("ABCD", {}), idat, iend}),
         "EInvalidGraphic: Cannot load PNG image. Unexpected but critical chunk detected."},
        {"no image data", withHeader(Ihdr(4, 3, 8, 2), {Chunk("tEXt", {}), iend}), kInvalid},
        {"missing IEND", withHeader(Ihdr(4, 3, 8, 2), {idat}), kReadError},
        {"huge length",
         withHeader(Ihdr(4, 3, 8, 2),
                    {Concat({Be32(0x80000000u), {'t', 'E', 'X', 't'}}), idat, iend}),
         kReadError},
        {"past the end",
         withHeader(Ihdr(4, 3, 8, 2), {idat, Be32(100), {'I', 'E', 'N', 'D'}, Bytes(4)}),
         kReadError},
        {"too large", withHeader(Ihdr(0x7FFFFFFF, 0x7FFFFFFF, 8, 2), {idat, iend}),
         "EInvalidGraphic: Bitmap size 2147483647 x 2147483647 is too large"},
        {"width above 2^31-1", withHeader(Ihdr(0x80000000u, 1, 8, 2), {idat, iend}), kInvalid},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadError(c.file), c.error) << c.name;
    }
}

TEST(PNGDecode, EveryTruncationFailsCleanly) {
    const Bytes file = BuildPng(Pattern(9, 9, 8, 6), true, {Chunk("gAMA", Be32(45455))});
    for (size_t length = 0; length < file.size(); ++length) {
        const std::string error =
            LoadError(Bytes(file.begin(), file.begin() + static_cast<ptrdiff_t>(length)));
        EXPECT_TRUE(error == kReadError || error == kInvalid) << length << ": " << error;
    }
}

TEST(PNGDecode, ProgressIsReportedAlsoOnFailure) {
    std::vector<std::string> reports;
    TPNGGraphic graphic;
    graphic.OnProgress = [&](TObject*, TProgressStage stage, uint8_t, bool, TRect&,
                             const std::string& msg) {
        reports.push_back(std::to_string(stage) + msg);
    };
    ASSERT_EQ(Load(graphic, BuildPng(Pattern(2, 2, 8, 0), false)), "");
    EXPECT_EQ(reports, (std::vector<std::string>{"0Preparing...", "2", "0Transfering...", "2"}));
    reports.clear();
    EXPECT_NE(Load(graphic, Concat({kSignature, Ihdr(2, 2, 8, 0), Chunk("IEND", {})})), "");
    EXPECT_EQ(reports, (std::vector<std::string>{"0Preparing...", "2"}));
}

TEST(PNGDraw, RGBABlendsOverTheCanvas) {
    RawImage image = Pattern(3, 1, 8, 6);
    // Transparent green, half-transparent blue, opaque white.
    image.rows[0] = {0, 255, 0, 0, 0, 0, 255, 128, 255, 255, 255, 255};
    TPNGGraphic graphic;
    ASSERT_EQ(Load(graphic, BuildPng(image, false)), "");
    TBitmap surface;
    surface.SetPixelFormat(pf32bit);
    surface.SetSize(5, 2);
    surface.FillRect(Rect(0, 0, 5, 2), RGBColor(255, 0, 0));
    graphic.DrawInto(surface.Canvas(), Rect(1, 1, 4, 2));
    EXPECT_EQ(surface.PixelColor(0, 1), RGBColor(255, 0, 0));
    EXPECT_EQ(surface.PixelColor(1, 1), RGBColor(255, 0, 0));
    EXPECT_EQ(surface.PixelColor(2, 1), RGBColor(127, 0, 127));
    EXPECT_EQ(surface.PixelColor(3, 1), RGBColor(255, 254, 254));
    EXPECT_EQ(surface.PixelColor(2, 0), RGBColor(255, 0, 0));
    // Drawn at twice the size, colour and alpha of each pixel stay together.
    TBitmap big;
    big.SetPixelFormat(pf32bit);
    big.SetSize(6, 2);
    big.FillRect(Rect(0, 0, 6, 2), RGBColor(255, 0, 0));
    graphic.DrawInto(big.Canvas(), Rect(0, 0, 6, 2));
    EXPECT_EQ(big.PixelColor(1, 1), RGBColor(255, 0, 0));
    EXPECT_EQ(big.PixelColor(3, 0), RGBColor(127, 0, 127));
    EXPECT_EQ(big.PixelColor(5, 1), RGBColor(255, 254, 254));
}

TEST(PNGCrc, MatchesTheStandardCrcForAnySplit) {
    Bytes data(100);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 37 + 11);
    }
    for (size_t length = 0; length <= data.size(); length += 7) {
        const auto expected =
            static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(length)));
        EXPECT_EQ(UpdatePNGCrc(0, data.data(), length), expected) << length;
        for (size_t split : {size_t{0}, length / 3, length}) {
            EXPECT_EQ(UpdatePNGCrc(UpdatePNGCrc(0, data.data(), split), data.data() + split,
                                   length - split),
                      expected);
        }
    }
    // An empty chunk's CRC still covers its type.
    const uint8_t iend[] = {'I', 'E', 'N', 'D'};
    EXPECT_EQ(UpdatePNGCrc(UpdatePNGCrc(0, iend, 4), nullptr, 0), 0xAE426082u);
}

TEST(PNGCopy, AssignCopiesTheSummaryAndPixels) {
    TPNGGraphic source;
    ASSERT_EQ(Load(source, BuildPng(Pattern(3, 2, 8, 6), true)), "");
    TPNGGraphic copy;
    copy.Assign(&source);
    EXPECT_TRUE(copy.ImageSummary().Interlaced);
    EXPECT_EQ(copy.ImageSummary().Width, 3u);
    EXPECT_EQ(copy.PixelColor(2, 1), source.PixelColor(2, 1));
}

}  // namespace
}  // namespace pogoda
