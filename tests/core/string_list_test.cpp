#include "framework/core/string_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/core/exceptions.h"

namespace pogoda {
namespace {

std::vector<std::string> Lines(const TStringList& list) {
    std::vector<std::string> r;
    for (int i = 0; i < list.Count(); ++i) r.push_back(list.Strings(i));
    return r;
}

TEST(CommaText, SplitsAtCommasAndBlanksWithQuotesGrouping) {
    struct Case {
        const char* text;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"80,8080", {"80", "8080"}},
        {"  80 , 8080  ", {"80", "8080"}},
        {"a b\tc", {"a", "b", "c"}},
        {"\"a b\",c", {"a b", "c"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"ab\"cd", {"ab", "cd"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {"\"unterminated", {"unterminated"}},
        {"", {}},
        {"   ", {}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetCommaText(c.text);
        EXPECT_EQ(Lines(list), c.items) << c.text;
    }
}

TEST(CommaText, RoundTripsItemsThatNeedQuotes) {
    TStringList list;
    for (const char* s : {"plain", "with space", "comma,inside", "quote\"d", ""}) list.Add(s);
    // An empty item among others is written as nothing; a trailing comma reads back as one.
    EXPECT_EQ(list.CommaText(), "plain,\"with space\",\"comma,inside\",\"quote\"\"d\",");
    TStringList back;
    back.SetCommaText(list.CommaText());
    EXPECT_EQ(Lines(back), Lines(list));

    TStringList single;
    single.Add("");
    EXPECT_EQ(single.CommaText(), "\"\"");
}

TEST(StringList, TextUsesCrLfAndSplitsAnyLineEnd) {
    TStringList list;
    list.SetText("one\r\ntwo\nthree\rfour");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"one", "two", "three", "four"}));
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
    list.SetText("a\r\n\r\nb\r\n");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "", "b"}));
}

TEST(StringList, SortedWithDuplicatesInsertsBeforeEqualKeys) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    TObject first, second, third;
    list.AddObject("/b", &first);
    list.AddObject("/A", &second);
    list.AddObject("/a", &third);  // equal to "/A" ignoring case: goes before it
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"/a", "/A", "/b"}));
    EXPECT_EQ(list.Objects(0), &third);
    EXPECT_EQ(list.IndexOf("/B"), 2);
    EXPECT_THROW(list.Insert(0, "x"), EListError);

    TStringList unique;
    unique.SetSorted(true);
    unique.Add("Я");
    EXPECT_EQ(unique.Add("я"), 0);  // dupIgnore keeps one
    EXPECT_EQ(unique.Count(), 1);
    unique.SetDuplicates(dupError);
    EXPECT_THROW(unique.Add("я"), EListError);
}

TEST(StringList, NameValuePairsIgnoreCase) {
    TStringList list;
    list.Add("Path=/");
    list.Add("secure");
    list.Add("Max-Age=0=x");
    EXPECT_EQ(list.Values("path"), "/");
    EXPECT_EQ(list.Values("MAX-AGE"), "0=x");
    EXPECT_EQ(list.Values("secure"), "");
    EXPECT_EQ(list.IndexOf("SECURE"), 1);
    list.SetValues("Domain", "example.org");
    EXPECT_EQ(list.Strings(3), "Domain=example.org");
    list.SetValues("path", "");
    EXPECT_EQ(list.IndexOfName("Path"), -1);
}

TEST(StringList, IndexErrorsNameTheIndex) {
    TStringList list;
    try {
        list.Strings(3);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (3)");
    }
}

}  // namespace
}  // namespace pogoda
