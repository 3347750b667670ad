#include <gtest/gtest.h>

#include "http/code_page.h"
#include "http/exceptions.h"
#include "http/uri.h"

namespace pogoda {
namespace {

struct UriCase {
    const char* afterHost;
    const char* port;
    const char* path;
    const char* document;
    const char* query;
    const char* fragment;
};

TEST(NetURI, WhatFollowsTheHostDecidesTheFields) {
    const UriCase cases[] = {
        {"", "", "/", "", "", ""},
        {"/tobolsk/4.png", "", "/tobolsk/", "4.png", "", ""},
        {":81/a/b/c.html?x=1#top", "81", "/a/b/", "c.html", "?x=1", "top"},
        {"/dir/", "", "/dir/", "", "", ""},
        {"/a?b=c/d", "", "/", "a", "?b=c/d", ""},
        {"/a/b=c", "", "/a/", "b", "=c", ""},
        {"/p?q#f", "", "/", "p", "?q", "f"},
        {"/p#f", "", "/", "p", "", "f"},
        {":abc/x", "abc", "/", "x", "", ""},
    };
    for (const UriCase& c : cases) {
        SCOPED_TRACE(c.afterHost);
        const TNetURI uri(std::string("http://informer.example") + c.afterHost);
        EXPECT_EQ(uri.Protocol, "http");
        EXPECT_EQ(uri.Host, "informer.example");
        EXPECT_EQ(uri.Port, c.port);
        EXPECT_EQ(uri.Path, c.path);
        EXPECT_EQ(uri.Document, c.document);
        EXPECT_EQ(uri.Query, c.query);
        EXPECT_EQ(uri.Fragment, c.fragment);
        EXPECT_EQ(uri.Username, "");
        EXPECT_EQ(uri.Password, "");
    }
}

TEST(NetURI, QuestionMarkBeforeAnySlashStaysInHost) {
    const TNetURI uri("http://h?x=1");
    EXPECT_EQ(uri.Host, "h?x=1");
    EXPECT_EQ(uri.Path, "/");
    EXPECT_EQ(uri.Query, "");
}

TEST(NetURI, Credentials) {
    struct {
        const char* url;
        const char* user;
        const char* password;
        const char* host;
    } cases[] = {
        {"http://ann:secret@h/x", "ann", "secret", "h"},
        {"http://ann@h/x", "ann", "", "h"},
        {"http://:secret@h/x", "", "", "h"},
        {"http://a:b:c@h:8080/", "a", "b:c", "h"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const TNetURI uri(c.url);
        EXPECT_EQ(uri.Username, c.user);
        EXPECT_EQ(uri.Password, c.password);
        EXPECT_EQ(uri.Host, c.host);
    }
}

TEST(NetURI, RelativeTextKeepsHashInDocument) {
    const TNetURI uri("dir/file.html#part");
    EXPECT_EQ(uri.Protocol, "");
    EXPECT_EQ(uri.Path, "dir/");
    EXPECT_EQ(uri.Document, "file.html#part");
    EXPECT_EQ(uri.Fragment, "");
}

TEST(NetURI, BackslashesReadAsSlashes) {
    const TNetURI slashes("http://h/a/b/c.html?x=1");
    const TNetURI backslashes("http:\\\\h\\a\\b\\c.html?x=1");
    EXPECT_EQ(backslashes.Host, slashes.Host);
    EXPECT_EQ(backslashes.Path, slashes.Path);
    EXPECT_EQ(backslashes.Document, slashes.Document);
    EXPECT_EQ(backslashes.Query, slashes.Query);
    EXPECT_EQ(backslashes.FullText, slashes.FullText);
}

TEST(NetURI, BackslashAsSecondByteOfDoubleByteCharacterIsKept) {
    TLeadByteTable dbcs;
    dbcs.SetLead(0x81);
    const TLeadByteTable old = SetAnsiLeadBytes(dbcs);
    std::string text = "a\x81\\b\\c";
    TNetURI::NormalizeSlashes(text);
    SetAnsiLeadBytes(old);
    EXPECT_EQ(text, "a\x81\\b/c");
}

TEST(NetURI, Compose) {
    TNetURI uri("http://ann:pw@h:81/a/b.html?q=1#top");
    EXPECT_EQ(uri.Compose(), "http://h:81/a/b.html?q=1");
    EXPECT_EQ(uri.Compose(WithCredentials | WithFragment), "http://ann:pw@h:81/a/b.html?q=1#top");
    EXPECT_EQ(uri.ComposePlain(), "http://h:81/a/b.html?q=1");
    EXPECT_EQ(uri.FullText, "http://ann:pw@h:81/a/b.html?q=1#top");
}

TEST(NetURI, ComposeChecksProtocolBeforeHost) {
    TNetURI uri;
    try {
        uri.Compose();
        FAIL() << "no exception";
    } catch (const ENetURIException& e) {
        EXPECT_STREQ(e.what(), "Protocol field is empty");
    }
    uri.Protocol = "http";
    try {
        uri.Compose();
        FAIL() << "no exception";
    } catch (const ENetURIException& e) {
        EXPECT_STREQ(e.what(), "Host field is empty");
    }
}

TEST(MergePath, ResolvesAgainstBase) {
    const struct {
        const char* base;
        const char* path;
        const char* result;
    } cases[] = {
        {"/a/b/", "../c/", "/a/c/"}, {"/a/b", "c", "/a/b/c"}, {"/a//b/", "c", "/a/b/c"},
        {"/a/", "./b", "/a/./b"},    {"/", "../x", "/x"},     {"/a/", "b/..", "/a"},
        {"/t/", "", "/t/"},          {"/t/", "/x/", "/x/"},   {"", "", ""},
        {"/", "", "/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MergePath(c.base, c.path), c.result) << c.base << " + " << c.path;
    }
}

TEST(TextHelpers, TakeToken) {
    std::string input = "abc";
    EXPECT_EQ(TakeToken(input, "/"), "abc");
    EXPECT_EQ(input, "");

    input = "a//b";
    EXPECT_EQ(TakeToken(input, "/"), "a");
    EXPECT_EQ(input, "/b");

    input = "a, b";
    EXPECT_EQ(TakeToken(input, ", ", false), "a");
    EXPECT_EQ(input, "a, b");

    input = "nameXYvalue";
    EXPECT_EQ(TakeToken(input, "xy", true, false), "name");
    EXPECT_EQ(input, "value");

    input = std::string("a\0b", 3);
    EXPECT_EQ(TakeToken(input, std::string_view("\0", 1)), "a");
    EXPECT_EQ(input, "b");
}

TEST(TextHelpers, Positions) {
    EXPECT_EQ(SubstringPos("b", "abcb"), 2u);
    EXPECT_EQ(SubstringPos("x", "abc"), 0u);
    EXPECT_EQ(SubstringPos("", "abc"), 0u);
    EXPECT_EQ(ReversePos("/", "", -1), 0u);
    EXPECT_EQ(ReversePos("/", "a/b/c", -1), 4u);
    EXPECT_EQ(ReversePos("/", "a/b/c", 3), 2u);
    EXPECT_EQ(ReversePos("AB", "xabxab"), 5u);
    EXPECT_EQ(ReversePos("/", "a/b", 0), 0u);
}

TEST(TextHelpers, SearchNeverMatchesInsideDoubleByteCharacter) {
    TLeadByteTable dbcs;
    dbcs.SetLead(0x81);
    const TLeadByteTable old = SetAnsiLeadBytes(dbcs);
    const size_t pos = SubstringPos("/", "\x81/x/");
    SetAnsiLeadBytes(old);
    EXPECT_EQ(pos, 4u);
}

}  // namespace
}  // namespace pogoda
