#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "graphics/color_manager.h"

namespace pogoda {
namespace {

using Bytes = std::vector<uint8_t>;

struct Layout {
    TSampleScheme source;
    int sourceBits;
    TSampleScheme target;
    int targetBits;
    uint8_t sourceOptions = 0;
    uint8_t targetOptions = 0;
};

void Describe(TColorManager& cm, const Layout& layout) {
    cm.SetSourceColorScheme(layout.source);
    cm.SetSourceBitsPerSample(layout.sourceBits);
    cm.SetTargetColorScheme(layout.target);
    cm.SetTargetBitsPerSample(layout.targetBits);
    cm.SetSourceOptions(layout.sourceOptions);
    cm.SetTargetOptions(layout.targetOptions);
}

// Converts one interleaved row into a target that starts as `initial`.
Bytes Convert(TColorManager& cm, const Bytes& source, Bytes initial, uint32_t count,
              uint8_t mask = 0xFF) {
    const uint8_t* planes[] = {source.data()};
    cm.ConvertRow(planes, initial.data(), count, mask);
    return initial;
}

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EColorConversionError& e) {
        return e.Message();
    }
    return "no error";
}

const std::string kBadDepth = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
const std::string kBadCount =
    "Sample count per pixel does not correspond to the given color scheme.";
const std::string kIndexedMix =
    "Conversion between indexed and non-indexed pixel formats is not supported.";
const std::string kNoMethod = "Color conversion failed. Could not find a proper method.";

TEST(ColorManagerSetters, RangeChecksKeepTheOldValueAndAcceptOddWidths) {
    TColorManager cm;
    using Setter = void (TColorManager::*)(int);
    using Getter = int (TColorManager::*)() const;
    struct Case {
        Setter set;
        Getter get;
        int low;
        int high;
        int odd;
        std::string message;
    } cases[] = {
        {&TColorManager::SetSourceBitsPerSample, &TColorManager::SourceBitsPerSample, 0, 17, 3,
         kBadDepth},
        {&TColorManager::SetTargetBitsPerSample, &TColorManager::TargetBitsPerSample, 0, 17, 12,
         kBadDepth},
        {&TColorManager::SetSourceSamplesPerPixel, &TColorManager::SourceSamplesPerPixel, 0, 5, 2,
         kBadCount},
        {&TColorManager::SetTargetSamplesPerPixel, &TColorManager::TargetSamplesPerPixel, 0, 5, 2,
         kBadCount},
    };
    for (const Case& c : cases) {
        const int before = (cm.*c.get)();
        EXPECT_EQ(MessageOf([&] { (cm.*c.set)(c.low); }), c.message);
        EXPECT_EQ(MessageOf([&] { (cm.*c.set)(c.high); }), c.message);
        EXPECT_EQ((cm.*c.get)(), before);
        (cm.*c.set)(c.odd);
        EXPECT_EQ((cm.*c.get)(), c.odd);
    }
}

TEST(ColorManagerSelect, RoutineTable) {
    struct Case {
        Layout layout;
        TRowRoutine routine;
    } cases[] = {
        {{ssIndexed, 16, ssIndexed, 16}, TRowRoutine::Indexed16To16},
        {{ssIndexed, 16, ssGray, 4}, TRowRoutine::Indexed16ToN},
        {{ssIndexed, 2, ssIndexed, 16}, TRowRoutine::IndexedNTo16},
        {{ssIndexed, 2, ssIndexed, 4}, TRowRoutine::Indexed},
        {{ssGray, 1, ssGray, 8}, TRowRoutine::Indexed},
        {{ssGray, 16, ssGray, 8}, TRowRoutine::Gray},
        {{ssGray, 8, ssIndexed, 16}, TRowRoutine::Gray},
        {{ssGrayAlpha, 8, ssIndexed, 8}, TRowRoutine::Gray},
        {{ssGrayAlpha, 16, ssIndexed, 8}, TRowRoutine::Gray},
        {{ssRGB, 8, ssRGBA, 8}, TRowRoutine::RGBToRGB},
        {{ssRGBA, 16, ssBGR, 8}, TRowRoutine::RGBToBGR},
        {{ssBGR, 8, ssRGB, 16}, TRowRoutine::BGRToRGB},
        {{ssBGRA, 8, ssBGRA, 8}, TRowRoutine::BGRToBGR},
        {{ssCMYK, 8, ssRGB, 8}, TRowRoutine::CMYKToRGB},
        {{ssCMYK, 16, ssBGRA, 8}, TRowRoutine::CMYKToBGR},
        {{ssLab, 8, ssRGBA, 8}, TRowRoutine::LabToRGB},
        {{ssLab, 8, ssBGR, 8}, TRowRoutine::LabToBGR},
        {{ssYCbCr, 8, ssRGB, 8}, TRowRoutine::YCbCrToRGB},
        {{ssYCbCr, 8, ssBGR, 16}, TRowRoutine::YCbCrToBGR},
        {{ssPhotoYCC, 8, ssRGBA, 8}, TRowRoutine::PhotoYCCToRGB},
        {{ssPhotoYCC, 16, ssBGR, 8}, TRowRoutine::PhotoYCCToBGR},
        // Combinations without a routine.
        {{ssCMY, 8, ssBGR, 8}, TRowRoutine::None},
        {{ssUnknown, 8, ssBGR, 8}, TRowRoutine::None},
        {{ssRGB, 8, ssCMYK, 8}, TRowRoutine::None},
        {{ssGrayAlpha, 4, ssIndexed, 4}, TRowRoutine::None},
        {{ssGray, 12, ssGray, 16}, TRowRoutine::None},
        {{ssRGB, 5, ssBGR, 8}, TRowRoutine::None},
        {{ssIndexed, 12, ssIndexed, 4}, TRowRoutine::None},
    };
    for (const Case& c : cases) {
        TColorManager cm;
        Describe(cm, c.layout);
        EXPECT_EQ(cm.Routine(), c.routine)
            << int(c.layout.source) << "/" << c.layout.sourceBits << " -> " << int(c.layout.target)
            << "/" << c.layout.targetBits;
    }
}

TEST(ColorManagerSelect, PaletteBasedFacingDirectColourIsRefusedEveryTime) {
    TColorManager cm;
    Describe(cm, {ssGray, 8, ssRGB, 8});
    EXPECT_EQ(MessageOf([&] { cm.Routine(); }), kIndexedMix);
    EXPECT_EQ(MessageOf([&] { Convert(cm, {1}, {0, 0, 0}, 1); }), kIndexedMix);
    Describe(cm, {ssRGB, 8, ssIndexed, 8});
    EXPECT_EQ(MessageOf([&] { cm.Routine(); }), kIndexedMix);
}

TEST(ColorManagerSelect, NoMethodRaisesOnEveryCallAndWritesNothing) {
    TColorManager cm;
    Describe(cm, {ssCMY, 8, ssBGR, 8});
    Bytes target{7, 7, 7};
    const uint8_t source[] = {1, 2, 3};
    const uint8_t* planes[] = {source};
    for (int call = 0; call < 2; ++call) {
        EXPECT_EQ(MessageOf([&] { cm.ConvertRow(planes, target.data(), 1, 0xFF); }), kNoMethod);
    }
    EXPECT_EQ(target, (Bytes{7, 7, 7}));
}

TEST(ColorManagerSelect, AlphaPresentFollowsTheSchemes) {
    TColorManager cm;
    Describe(cm, {ssRGB, 8, ssBGRA, 8, coAlphaPresent | coBigEndian16, 0});
    cm.Routine();
    EXPECT_EQ(cm.SourceOptions(), coBigEndian16);
    EXPECT_EQ(cm.TargetOptions(), coAlphaPresent);
}

TEST(ColorManagerSelect, RoutineIsReselectedOnlyAfterAChange) {
    TColorManager cm;
    Describe(cm, {ssRGB, 8, ssBGR, 8});
    EXPECT_EQ(Convert(cm, {1, 2, 3, 4, 5, 6}, Bytes(6), 2), (Bytes{3, 2, 1, 6, 5, 4}));
    cm.SetTargetColorScheme(ssRGB);
    EXPECT_EQ(Convert(cm, {1, 2, 3}, Bytes(3), 1), (Bytes{1, 2, 3}));
}

TEST(ColorManagerRows, IndexedPackingWithMasks) {
    struct Case {
        int sourceBits;
        int targetBits;
        uint8_t mask;
        uint32_t count;
        Bytes source;
        Bytes initial;
        Bytes expected;
    } cases[] = {
        // Equal widths and a full mask copy the bytes as they are.
        {1, 1, 0xFF, 12, {0xA5, 0xF3}, {0, 0}, {0xA5, 0xF3}},
        // 2-bit values 0..3 spread to 0, 5, 10, 15.
        {2, 4, 0xFF, 4, {0x1B}, {0, 0}, {0x05, 0xAF}},
        // Positions 0 and 4 take the first two source pixels; the others stay.
        {8, 8, 0x88, 8, {11, 22}, {1, 2, 3, 4, 5, 6, 7, 8}, {11, 2, 3, 4, 22, 6, 7, 8}},
        // The shared target byte keeps the bits of unselected positions.
        {1, 1, 0x55, 8, {0xF0}, {0x00}, {0x55}},
        {4, 4, 0x55, 4, {0x9C}, {0xFF, 0xFF}, {0xF9, 0xFC}},
        {1, 8, 0xFF, 3, {0xA0}, {9, 9, 9}, {255, 0, 255}},
        {8, 4, 0xFF, 3, {0, 17, 255}, {0, 0}, {0x01, 0xF0}},
        {8, 1, 0xFF, 3, {254, 255, 128}, {0}, {0x40}},
    };
    for (const Case& c : cases) {
        TColorManager cm;
        Describe(cm, {ssIndexed, c.sourceBits, ssIndexed, c.targetBits});
        EXPECT_EQ(Convert(cm, c.source, c.initial, c.count, c.mask), c.expected)
            << c.sourceBits << " -> " << c.targetBits << " mask " << int(c.mask);
    }
}

TEST(ColorManagerRows, SixteenBitIndices) {
    TColorManager cm;
    Describe(cm, {ssIndexed, 16, ssIndexed, 8, coBigEndian16, 0});
    EXPECT_EQ(Convert(cm, {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x01}, Bytes(3), 3), (Bytes{255, 127, 0}));
    Describe(cm, {ssIndexed, 2, ssIndexed, 16, coBigEndian16, 0});
    EXPECT_EQ(Convert(cm, {0x1B}, Bytes(8), 4), (Bytes{0, 0, 0x55, 0x55, 0xAA, 0xAA, 0xFF, 0xFF}));
    Describe(cm, {ssIndexed, 16, ssIndexed, 16, coBigEndian16, 0});
    EXPECT_EQ(Convert(cm, {0x12, 0x34, 0x56, 0x78}, Bytes(4, 0xEE), 2, 0x40),
              (Bytes{0xEE, 0xEE, 0x34, 0x12}));
}

TEST(ColorManagerRows, SixteenBitSamplesScaleByTruncation) {
    TColorManager cm;
    Describe(cm, {ssRGB, 16, ssBGR, 8, coBigEndian16, 0});
    EXPECT_EQ(Convert(cm, {0xFF, 0xFE, 0xFF, 0xFF, 0x80, 0x00}, Bytes(3), 1),
              (Bytes{127, 255, 254}));
    // Without the flag the samples are in host order.
    Describe(cm, {ssRGB, 16, ssRGB, 8});
    EXPECT_EQ(Convert(cm, {0xFE, 0xFF, 0x00, 0x80, 0xFF, 0xFF}, Bytes(3), 1),
              (Bytes{254, 127, 255}));
    // 8 to 16 bits multiplies by 257; the source flag also swaps the result.
    Describe(cm, {ssRGB, 8, ssRGB, 16, coBigEndian16, 0});
    EXPECT_EQ(Convert(cm, {1, 2, 3}, Bytes(6), 1), (Bytes{1, 1, 2, 2, 3, 3}));
    Describe(cm, {ssBGR, 16, ssRGB, 16, coBigEndian16, 0});
    EXPECT_EQ(Convert(cm, {1, 2, 3, 4, 5, 6}, Bytes(6), 1), (Bytes{6, 5, 4, 3, 2, 1}));
}

TEST(ColorManagerRows, AlphaHandling) {
    TColorManager cm;
    // RGBA to BGR drops alpha.
    Describe(cm, {ssRGBA, 8, ssBGR, 8});
    EXPECT_EQ(Convert(cm, {1, 2, 3, 4, 5, 6, 7, 8}, Bytes(6), 2), (Bytes{3, 2, 1, 7, 6, 5}));
    // RGB to BGRA leaves the fourth byte as it was.
    Describe(cm, {ssRGB, 8, ssBGRA, 8});
    EXPECT_EQ(Convert(cm, {1, 2, 3, 5, 6, 7}, Bytes(8, 0xEE), 2),
              (Bytes{3, 2, 1, 0xEE, 7, 6, 5, 0xEE}));
    // 16-bit alpha scales without gamma, even with gamma on.
    Describe(cm, {ssRGBA, 16, ssBGRA, 8, coBigEndian16, coGammaCorrect});
    cm.SetGamma(1.0f, 2.2f);
    EXPECT_EQ(Convert(cm, {0, 0, 0, 0, 0xFF, 0xFF, 0x80, 0x00}, Bytes(4), 1),
              (Bytes{255, 0, 0, 127}));
}

TEST(ColorManagerRows, PlanarSourcesAndMaskedRGB) {
    TColorManager cm;
    Describe(cm, {ssRGB, 8, ssBGR, 8});
    const uint8_t red[] = {10, 11};
    const uint8_t green[] = {20, 21};
    const uint8_t blue[] = {30, 31};
    const uint8_t* planes[] = {red, green, blue};
    Bytes target(12, 0xEE);
    cm.ConvertRow(planes, target.data(), 4, 0x50);  // positions 1 and 3
    EXPECT_EQ(target, (Bytes{0xEE, 0xEE, 0xEE, 30, 20, 10, 0xEE, 0xEE, 0xEE, 31, 21, 11}));
    // A planar source must bring a plane for every channel.
    const uint8_t* twoPlanes[] = {red, green};
    EXPECT_EQ(MessageOf([&] { cm.ConvertRow(twoPlanes, target.data(), 1, 0xFF); }), kNoMethod);
}

TEST(ColorManagerRows, GrayTakesTheGraySampleOnly) {
    TColorManager cm;
    Describe(cm, {ssGrayAlpha, 16, ssIndexed, 8, coBigEndian16, coGammaCorrect});
    EXPECT_EQ(Convert(cm, {0xFF, 0xFE, 0x12, 0x34, 0x80, 0x00, 0, 0}, Bytes(2), 2),
              (Bytes{254, 127}));
    Describe(cm, {ssGrayAlpha, 8, ssIndexed, 8});
    EXPECT_EQ(Convert(cm, {5, 99, 6, 99, 7, 99}, Bytes(3, 0xEE), 3, 0xA0), (Bytes{5, 0xEE, 6}));
    Describe(cm, {ssGray, 8, ssGray, 16});
    EXPECT_EQ(Convert(cm, {2}, Bytes(2), 1), (Bytes{2, 2}));
}

TEST(ColorManagerRows, GammaAppliesToColourSamples) {
    TColorManager cm;
    Describe(cm, {ssRGB, 8, ssRGB, 8, 0, coGammaCorrect});
    cm.SetGamma(1.0f, 2.2f);
    EXPECT_EQ(Convert(cm, {1, 128, 200}, Bytes(3), 1), (Bytes{21, 186, 228}));
}

TEST(ColorManagerRows, CMYKArithmetic) {
    TColorManager cm;
    Describe(cm, {ssCMYK, 8, ssRGB, 8});
    // (s * k) div 255 - s - k + 255 for each of cyan, magenta, yellow.
    EXPECT_EQ(Convert(cm, {0, 128, 255, 0, 128, 128, 10, 200}, Bytes(6), 2),
              (Bytes{255, 127, 0, 27, 27, 52}));
    Describe(cm, {ssCMYK, 8, ssBGR, 16});
    EXPECT_EQ(Convert(cm, {0, 128, 255, 0}, Bytes(6), 1), (Bytes{0, 0, 127, 127, 255, 255}));
    Describe(cm, {ssCMYK, 16, ssRGB, 8, coBigEndian16, 0});
    EXPECT_EQ(Convert(cm, {0x80, 0, 0x03, 0xE8, 0xFF, 0xFF, 0x80, 0x00}, Bytes(3), 1),
              (Bytes{64, 126, 0}));
    Describe(cm, {ssCMYK, 16, ssRGB, 16});
    EXPECT_EQ(Convert(cm, {0, 0, 0, 0x80, 0, 0, 0x50, 0xC3}, Bytes(6), 1),
              (Bytes{0xAF, 0x3C, 0x57, 0x1E, 0xAF, 0x3C}));
}

TEST(ColorManagerRows, LabArithmetic) {
    TColorManager cm;
    Describe(cm, {ssLab, 8, ssRGB, 8});
    EXPECT_EQ(Convert(cm, {100, 0, 0, 0, 0, 0, 50, 20, static_cast<uint8_t>(-30), 5, 10, 10},
                      Bytes(12), 4),
              (Bytes{255, 255, 255, 0, 0, 0, 53, 40, 101, 4, 1, 0}));
    Describe(cm, {ssLab, 8, ssBGR, 8, coLabLightness255 | coLabChromaBiased, 0});
    EXPECT_EQ(Convert(cm, {200, 128, 128, 153, 200, 50}, Bytes(6), 2),
              (Bytes{138, 138, 137, 255, 29, 128}));
}

TEST(ColorManagerRows, YCbCrAndPhotoYCCArithmetic) {
    const Bytes pixels{128, 128, 128, 100, 200, 50, 30, 10, 250, 255, 0, 0};
    TColorManager cm;
    Describe(cm, {ssYCbCr, 8, ssBGR, 8});
    EXPECT_EQ(Convert(cm, pixels, Bytes(12), 4),
              (Bytes{128, 128, 128, 228, 131, 0, 0, 0, 201, 28, 255, 76}));
    Describe(cm, {ssPhotoYCC, 8, ssBGR, 8});
    EXPECT_EQ(Convert(cm, pixels, Bytes(12), 4),
              (Bytes{78, 144, 115, 178, 147, 0, 0, 0, 188, 0, 255, 63}));
    Describe(cm, {ssPhotoYCC, 8, ssRGB, 8});
    EXPECT_EQ(Convert(cm, {100, 200, 50}, Bytes(3), 1), (Bytes{0, 147, 178}));
}

TEST(ColorManagerGamma, Tables) {
    TColorManager cm;
    const auto defaults = cm.GammaTable();
    EXPECT_EQ(defaults[0], 0);
    EXPECT_EQ(defaults[1], 21);
    EXPECT_EQ(defaults[64], 136);
    EXPECT_EQ(defaults[128], 186);
    EXPECT_EQ(defaults[255], 255);
    cm.SetGamma(3.0f, 1.0f);
    EXPECT_NE(cm.GammaTable(), defaults);
    cm.SetGamma(0.0f, 0.0f);
    EXPECT_EQ(cm.GammaTable(), defaults);
    // A file gamma of 1/2.2 shown on a 2.2 display is practically the identity.
    cm.SetGamma(0.45455f, 2.2f);
    for (int i = 0; i < 256; ++i) {
        EXPECT_NEAR(cm.GammaTable()[static_cast<size_t>(i)], i, 1) << i;
    }
    // Narrow widths bound the table: S = 3, T = 15.
    cm.SetSourceBitsPerSample(2);
    cm.SetTargetBitsPerSample(4);
    cm.SetGamma(1.0f, 2.2f);
    EXPECT_EQ((Bytes{cm.GammaTable().begin(), cm.GammaTable().begin() + 4}), (Bytes{0, 9, 12, 15}));
}

std::vector<int> Reds(const TPalette& palette) {
    std::vector<int> reds;
    for (const auto& entry : palette.Entries()) {
        reds.push_back(entry.Red);
    }
    return reds;
}

TEST(ColorManagerPalette, ColourPaletteRespreadsToTheTargetWidth) {
    TColorManager cm;
    const Bytes rgb{10, 0, 0, 20, 0, 0, 30, 0, 0, 40, 0, 0};
    const uint8_t* planes[] = {rgb.data()};
    cm.SetSourceBitsPerSample(2);
    cm.SetTargetBitsPerSample(4);
    EXPECT_EQ(Reds(cm.BuildColourPalette(planes, 0, 4, false)),
              (std::vector<int>{10, 10, 10, 10, 10, 20, 20, 20, 20, 20, 30, 30, 30, 30, 30, 40}));
    // A wider source than target picks every S/T-th entry.
    cm.SetSourceBitsPerSample(2);
    cm.SetTargetBitsPerSample(1);
    EXPECT_EQ(Reds(cm.BuildColourPalette(planes, 0, 4, false)), (std::vector<int>{10, 40}));
    // Entries the source does not provide are black.
    cm.SetSourceBitsPerSample(2);
    cm.SetTargetBitsPerSample(4);
    EXPECT_EQ(Reds(cm.BuildColourPalette(planes, 0, 2, false)),
              (std::vector<int>{10, 10, 10, 10, 10, 20, 20, 20, 20, 20, 0, 0, 0, 0, 0, 0}));
}

TEST(ColorManagerPalette, ColourPaletteFormatsAndOrder) {
    TColorManager cm;
    Bytes triples(900);
    for (size_t i = 0; i < triples.size(); ++i) {
        triples[i] = static_cast<uint8_t>(i);
    }
    const uint8_t* one[] = {triples.data()};
    const TPalette big = cm.BuildColourPalette(one, 0, 300, false);
    ASSERT_EQ(big.Count(), 256);
    EXPECT_EQ(big[1], (TPaletteEntry{3, 4, 5, 0}));
    EXPECT_EQ(cm.BuildColourPalette(one, 0, 2, true)[1], (TPaletteEntry{5, 4, 3, 0}));
    EXPECT_EQ(cm.BuildColourPalette(one, 1, 2, false)[1], (TPaletteEntry{4, 5, 6, 0}));
    const uint8_t* planes[] = {triples.data(), triples.data() + 10, triples.data() + 20};
    EXPECT_EQ(cm.BuildColourPalette(planes, 2, 2, true)[1], (TPaletteEntry{1, 11, 21, 0}));
    // 16-bit triples are blue first unless the flag is set; they scale by truncation.
    const Bytes wide{0xFF, 0xFE, 0x80, 0x00, 0x00, 0x01};
    const uint8_t* widePlanes[] = {wide.data()};
    cm.SetSourceOptions(coBigEndian16);
    EXPECT_EQ(cm.BuildColourPalette(widePlanes, 4, 1, false)[0], (TPaletteEntry{0, 127, 254, 0}));
    EXPECT_EQ(cm.BuildColourPalette(widePlanes, 4, 1, true)[0], (TPaletteEntry{254, 127, 0, 0}));
    // Gamma applies when the target asks for it.
    cm.SetTargetOptions(coGammaCorrect);
    EXPECT_EQ(cm.BuildColourPalette(one, 0, 1, false)[0], (TPaletteEntry{0, 21, 28, 0}));
    // An unknown format leaves the entries black.
    EXPECT_EQ(cm.BuildColourPalette(one, 9, 1, false)[0], (TPaletteEntry{0, 0, 0, 0}));
}

TEST(ColorManagerPalette, GrayPalette) {
    TColorManager cm;
    cm.SetTargetBitsPerSample(4);
    cm.SetTargetSamplesPerPixel(1);
    const TPalette gray = cm.BuildGrayPalette(false);
    ASSERT_EQ(gray.Count(), 16);
    EXPECT_EQ(gray[1], (TPaletteEntry{17, 17, 17, 0}));
    EXPECT_EQ(gray[15], (TPaletteEntry{255, 255, 255, 0}));
    EXPECT_EQ(cm.BuildGrayPalette(true)[0], (TPaletteEntry{255, 255, 255, 0}));
    cm.SetTargetOptions(coGammaCorrect);
    EXPECT_EQ(cm.BuildGrayPalette(false)[4].Green, cm.GammaTable()[68]);
    cm.SetTargetBitsPerSample(8);
    EXPECT_EQ(cm.BuildGrayPalette(false).Count(), 256);
}

TEST(ColorManagerPixelFormat, OfLayout) {
    struct Case {
        int samples;
        int bits;
        TPixelFormat format;
    } cases[] = {
        {1, 1, pf1bit},   {1, 2, pf4bit},  {1, 4, pf4bit},   {1, 5, pfCustom},
        {1, 8, pf8bit},   {1, 16, pf8bit}, {3, 5, pf15bit},  {3, 6, pf24bit},
        {3, 16, pf24bit}, {4, 8, pf32bit}, {4, 4, pfCustom}, {2, 8, pfCustom},
    };
    for (const Case& c : cases) {
        TColorManager cm;
        cm.SetTargetSamplesPerPixel(c.samples);
        cm.SetTargetBitsPerSample(c.bits);
        EXPECT_EQ(cm.PixelFormatOf(1), c.format) << c.samples << "x" << c.bits;
        EXPECT_EQ(cm.PixelFormatOf(0), pf24bit);
    }
}

}  // namespace
}  // namespace pogoda
