#include "framework/core/streams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/core/exceptions.h"

namespace pogoda {
namespace {

TEST(MemoryStream, GrowsReadsSeeksAndFillsGaps) {
    TMemoryStream s;
    for (int i = 0; i < 100000; ++i) {
        const uint8_t b = static_cast<uint8_t>(i);
        ASSERT_EQ(s.Write(&b, 1), 1);
    }
    EXPECT_EQ(s.Size(), 100000);
    EXPECT_EQ(s.Memory()[99999], static_cast<uint8_t>(99999));
    s.SetPosition(100010);
    s.WriteBuffer("xy", 2);
    EXPECT_EQ(s.Size(), 100012);
    EXPECT_EQ(s.Memory()[100005], 0);  // the gap reads as zeros

    s.SetPosition(99998);
    uint8_t buf[4];
    EXPECT_EQ(s.Read(buf, 4), 4);
    EXPECT_EQ(buf[1], static_cast<uint8_t>(99999));
    s.SetPosition(100011);
    EXPECT_THROW(s.ReadBuffer(buf, 2), EReadError);
    EXPECT_EQ(s.Seek(-2, soEnd), 100010);

    s.SetSize(10);
    EXPECT_EQ(s.Position(), 10);
    s.SetCapacity(1 << 20);
    EXPECT_EQ(s.Size(), 10);
    EXPECT_GE(s.Capacity(), 1 << 20);
}

TEST(FileStream, RoundTripAndOpenErrorsNameTheFile) {
    const std::string path = ::testing::TempDir() + "pogoda_stream_test.bin";
    {
        TMemoryStream m;
        m.WriteBuffer("weather", 7);
        m.SetPosition(3);  // saving writes everything, whatever the position
        m.SaveToFile(path);
    }
    TMemoryStream back;
    back.LoadFromFile(path);
    ASSERT_EQ(back.Size(), 7);
    EXPECT_EQ(std::memcmp(back.Memory(), "weather", 7), 0);

    TFileStream f(path, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(f.Size(), 7);
    char c[3];
    f.SetPosition(4);
    EXPECT_EQ(f.Read(c, 3), 3);
    EXPECT_EQ(std::string(c, 3), "her");
    EXPECT_EQ(f.Read(c, 3), 0);
    std::remove(path.c_str());

    const std::string missing = ::testing::TempDir() + "no/such/file.png";
    try {
        TFileStream g(missing, fmOpenRead | fmShareDenyWrite);
        FAIL();
    } catch (const EFOpenError& e) {
        const std::string prefix = "Cannot open file \"" + missing + "\". ";
        EXPECT_EQ(e.Message().substr(0, prefix.size()), prefix);
        EXPECT_GT(e.Message().size(), prefix.size());  // the system's reason follows
        EXPECT_STREQ(e.ClassName(), "EFOpenError");
    }
}

}  // namespace
}  // namespace pogoda
