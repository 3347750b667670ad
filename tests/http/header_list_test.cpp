#include <gtest/gtest.h>

#include <vector>

#include "http/header_list.h"

namespace pogoda {
namespace {

TEST(NetHeaderList, ReadsNamesAndValues) {
    TNetHeaderList h;
    h.Add("Content-Type: text/html");
    h.Add("X-Compact:value");
    h.Add("no colon here");
    EXPECT_EQ(h.GetHeader("content-type"), "text/html");
    EXPECT_EQ(h.NameAt(0), "CONTENT-TYPE");
    EXPECT_EQ(h.GetHeader("x-compact"), "value");
    EXPECT_EQ(h.NameAt(2), "");
    EXPECT_EQ(h.ValueAt(2), "o colon here");
    EXPECT_EQ(h.ValueAt(3), "");
    EXPECT_EQ(h.ValueAt(-1), "");
    EXPECT_EQ(h.IndexOfHeader("missing"), -1);

    h.SetCaseSensitiveNames(true);
    EXPECT_EQ(h.NameAt(0), "Content-Type");
    EXPECT_EQ(h.IndexOfHeader("CONTENT-TYPE"), 0);
}

TEST(NetHeaderList, UnfoldsContinuationLines) {
    TNetHeaderList h;
    h.Add("X-Long: one");
    h.Add(" two");
    h.Add("\tthree");
    h.Add("Next: x");
    EXPECT_EQ(h.ValueAt(0), "one two three");
    EXPECT_EQ(h.GetHeader("Next"), "x");
    h.SetUnfoldOnRead(false);
    EXPECT_EQ(h.ValueAt(0), "one");
}

TEST(NetHeaderList, ExtractAllDeliversEveryValueInOrder) {
    TNetHeaderList h;
    h.Add("Set-cookie: a=1");
    h.Add("Server: x");
    h.Add("set-Cookie: b=2;");
    h.Add("  path=/");
    EXPECT_EQ(h.GetHeader("Set-Cookie"), "a=1");
    TStringList values;
    h.ExtractAll("Set-Cookie", &values);
    ASSERT_EQ(values.Count(), 2);
    EXPECT_EQ(values.Strings(0), "a=1");
    EXPECT_EQ(values.Strings(1), "b=2; path=/");
    h.ExtractAll("Set-Cookie", nullptr);
}

TEST(NetHeaderList, SetHeaderAppendsReplacesInPlaceAndRemoves) {
    TNetHeaderList h;
    h.Add("Host: h");
    h.SetHeader("Cookie", "a=1");
    h.Add("User-Agent: u");
    ASSERT_EQ(h.Count(), 3);
    EXPECT_EQ(h.Strings(1), "Cookie: a=1");

    h.Insert(2, " continued");
    h.SetHeader("cookie", "b=2");
    ASSERT_EQ(h.Count(), 3);
    EXPECT_EQ(h.Strings(1), "cookie: b=2");
    EXPECT_EQ(h.Strings(2), "User-Agent: u");

    h.SetHeader("Cookie", "");
    ASSERT_EQ(h.Count(), 2);
    EXPECT_EQ(h.IndexOfHeader("Cookie"), -1);
    h.SetHeader("Cookie", "");
    EXPECT_EQ(h.Count(), 2);
}

std::vector<std::string> Lines(const TNetHeaderList& h) {
    std::vector<std::string> lines;
    for (int i = 0; i < h.Count(); ++i) lines.push_back(h.Strings(i));
    return lines;
}

std::string Words(size_t total, char fill, size_t spaceEvery) {
    std::string s;
    while (s.size() < total) s += (spaceEvery != 0 && s.size() % spaceEvery == spaceEvery - 1) ? ' ' : fill;
    return s;
}

TEST(NetHeaderList, FoldsAtWidth1024) {
    TNetHeaderList h;
    h.SetFoldWidth(1024);
    const std::string prefix = "X-Data: ";

    // Up to 1025 characters the line stays whole.
    h.SetHeader("X-Data", Words(1025 - prefix.size(), 'a', 100));
    ASSERT_EQ(h.Count(), 1);
    EXPECT_EQ(h.Strings(0).size(), 1025u);

    // Longer: split after the last break character at or before column 1024.
    h.Clear();
    std::string value = std::string(1000, 'a') + " " + std::string(30, 'b') + "," + std::string(30, 'c');
    h.SetHeader("X-Data", value);
    ASSERT_EQ(h.Count(), 2);
    EXPECT_EQ(h.Strings(0), prefix + std::string(1000, 'a'));
    EXPECT_EQ(h.Strings(1), " " + std::string(30, 'b') + "," + std::string(30, 'c'));
    EXPECT_EQ(h.GetHeader("X-Data"), value);

    // No break character in the value before the column: the last one before it is the
    // blank after the name, and the next break is the first one that follows.
    h.Clear();
    value = std::string(1100, 'a') + " tail";
    h.SetHeader("X-Data", value);
    EXPECT_EQ(Lines(h), (std::vector<std::string>{"X-Data:", " " + std::string(1100, 'a'), " tail"}));
    EXPECT_EQ(h.GetHeader("X-Data"), value);

    // A single long token is never split.
    h.Clear();
    h.SetHeader("X-Data", std::string(2000, 'z'));
    EXPECT_EQ(Lines(h), (std::vector<std::string>{"X-Data:", " " + std::string(2000, 'z')}));
}

TEST(NetHeaderList, FoldsAtWidth78AndRoundTrips) {
    TNetHeaderList h;
    const std::string value = Words(300, 'w', 9);
    h.SetHeader("X-Words", value);
    ASSERT_GT(h.Count(), 3);
    for (int i = 0; i < h.Count(); ++i) {
        EXPECT_LE(h.Strings(i).size(), 79u) << i;
        if (i > 0) {
            EXPECT_EQ(h.Strings(i)[0], ' ');
        }
    }
    EXPECT_EQ(h.GetHeader("X-Words"), value);
}

TEST(NetHeaderList, NeverFoldsInsideQuotes) {
    TNetHeaderList h;
    const std::string quoted = "\"" + Words(120, 'q', 10) + "\"";
    h.SetHeader("X-Q", "a, " + quoted + " end");
    EXPECT_EQ(Lines(h), (std::vector<std::string>{"X-Q: a,", " " + quoted, " end"}));
}

TEST(NetHeaderList, FoldingNeverWritesAnEmptyLine) {
    TNetHeaderList h;
    h.SetFoldWidth(2);
    h.SetHeader("X", "\x01\x02");
    h.Add("Next: y");
    EXPECT_EQ(Lines(h), (std::vector<std::string>{"X:", "Next: y"}));
    h.SetHeader("X", "");
    EXPECT_EQ(Lines(h), (std::vector<std::string>{"Next: y"}));
}

TEST(NetHeaderList, FoldOffWritesOneLine) {
    TNetHeaderList h;
    h.SetFoldOnWrite(false);
    h.SetHeader("X-Words", Words(300, 'w', 9));
    EXPECT_EQ(h.Count(), 1);
}

}  // namespace
}  // namespace pogoda
