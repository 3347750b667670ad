#include <gtest/gtest.h>

#include "fixed_time_zone.h"
#include "http/cookies.h"
#include "http/exceptions.h"

namespace pogoda {
namespace {

class CookieStore : public ::testing::Test {
protected:
    std::string HeaderFor(const std::string& url) { return m_store.BuildCookieHeader(TNetURI(url), false); }
    int Stored() { return m_store.CookieCollection().Count(); }
    TNetCookieRFC2109* Only() {
        EXPECT_EQ(Stored(), 1);
        return dynamic_cast<TNetCookieRFC2109*>(m_store.CookieCollection().Items(0));
    }

    FixedTimeZone m_zone{UtcPlus6Zone};
    TNetCookieManager m_store{nullptr};
};

TEST_F(CookieStore, CookieWithoutPathIsStoredButNeverSent) {
    m_store.StoreSetCookie("id=1", "informer.example");
    EXPECT_EQ(Only()->Domain, "informer.example");
    EXPECT_EQ(Only()->Path, "");
    EXPECT_EQ(HeaderFor("http://informer.example/tobolsk/4.png"), "");
}

TEST_F(CookieStore, SentToHostsContainingTheDomain) {
    m_store.StoreSetCookie("id=1; path=/", "informer.example");
    EXPECT_EQ(HeaderFor("http://informer.example/tobolsk/4.png"), "id=1");
    EXPECT_EQ(HeaderFor("http://INFORMER.EXAMPLE/"), "id=1");
    EXPECT_EQ(HeaderFor("http://www.informer.example.org/"), "id=1");
    EXPECT_EQ(HeaderFor("http://other.example/"), "");
}

TEST_F(CookieStore, DomainAttributeMustFitTheHost) {
    const struct {
        const char* domain;
        const char* host;
        bool stored;
    } cases[] = {
        {".example.ru", "www.example.ru", true},   {".EXAMPLE.ru", "www.example.ru", false},
        {"www.example.ru", "www.example.ru", true}, {"example.ru", "www.example.ru", false},
        {".other.ru", "www.example.ru", false},    {"10.0.0.1", "10.0.0.1", true},
        {".0.0.1", "10.0.0.1", false},
    };
    for (const auto& c : cases) {
        TNetCookieManager store(nullptr);
        store.StoreSetCookie(std::string("a=1; path=/; domain=") + c.domain, c.host);
        EXPECT_EQ(store.CookieCollection().Count(), c.stored ? 1 : 0) << c.domain << " for " << c.host;
    }
}

TEST_F(CookieStore, SameNameAndDomainReplacesWhateverThePath) {
    m_store.StoreSetCookie("id=1; path=/a/", "h");
    m_store.StoreSetCookie("other=x; path=/", "h");
    m_store.StoreSetCookie("ID=2; path=/", "h");
    EXPECT_EQ(Stored(), 2);
    EXPECT_EQ(HeaderFor("http://h/a/b"), "other=x; ID=2");
}

TEST_F(CookieStore, LongerPathFirst) {
    m_store.StoreSetCookie("root=r; path=/", "h");
    m_store.StoreSetCookie("deep=d; path=/tobolsk/", "h");
    m_store.StoreSetCookie("other=o; path=/x/", "h");
    EXPECT_EQ(HeaderFor("http://h/tobolsk/4.png"), "deep=d; root=r");
}

TEST_F(CookieStore, SecureOnlyOverSecureConnection) {
    m_store.StoreSetCookie("s=1; path=/; secure", "h");
    m_store.StoreSetCookie("v=1; path=/; secure=yes", "h");
    EXPECT_EQ(HeaderFor("http://h/"), "v=1");
    EXPECT_EQ(m_store.BuildCookieHeader(TNetURI("http://h/"), true), "v=1; s=1");
}

TEST_F(CookieStore, MaxAge) {
    m_store.StoreSetCookie("gone=1; path=/; max-age=0", "h");
    m_store.StoreSetCookie("neg=1; path=/; max-age=-5", "h");
    m_store.StoreSetCookie("junk=1; path=/; max-age=soon", "h");
    m_store.StoreSetCookie("kept=1; path=/; max-age=3600", "h");
    EXPECT_EQ(Stored(), 4);
    // Equal paths: the latest stored first.
    EXPECT_EQ(HeaderFor("http://h/"), "kept=1; junk=1; neg=1");
    EXPECT_EQ(Stored(), 3);
}

TEST_F(CookieStore, PastExpiresIsSwept) {
    m_store.StoreSetCookie("old=1; path=/; expires=Sun, 06 Nov 1994 08:49:37 GMT", "h");
    m_store.StoreSetCookie("bad=1; path=/; expires=whenever", "h");
    m_store.StoreSetCookie("future=1; path=/; expires=Fri, 31 Dec 9998 23:59:59 GMT", "h");
    EXPECT_EQ(HeaderFor("http://h/"), "future=1");
}

TEST_F(CookieStore, ReplacementCarriesExpiryOnlyFromMaxAge) {
    m_store.StoreSetCookie("a=1; path=/", "h");
    m_store.StoreSetCookie("a=2; path=/; max-age=3600", "h");
    EXPECT_FALSE(Only()->Expires.empty());
    EXPECT_EQ(Only()->Value, "2");

    m_store.StoreSetCookie("a=3; path=/; expires=Fri, 31 Dec 9998 23:59:59 GMT", "h");
    EXPECT_EQ(Only()->Value, "3");
    EXPECT_EQ(Only()->Expires, "");
    EXPECT_EQ(Only()->Style, 1);
}

TEST_F(CookieStore, ReplacementByEmptyValueKeepsNameAndStopsSending) {
    m_store.StoreSetCookie("a=1; path=/", "h");
    m_store.StoreSetCookie("a=; path=/", "h");
    EXPECT_EQ(Only()->Name, "a");
    EXPECT_EQ(Only()->Path, "/");
    EXPECT_EQ(HeaderFor("http://h/"), "");
}

TEST_F(CookieStore, QuotedPathAndLoneQuote) {
    m_store.StoreSetCookie("a=1; path=\"/q/\"", "h");
    m_store.StoreSetCookie("b=1; path=\"", "h");
    EXPECT_EQ(HeaderFor("http://h/q/x"), "a=1");
    auto* b = dynamic_cast<TNetCookieRFC2109*>(m_store.CookieCollection().Items(1));
    EXPECT_EQ(b->Path, "");
}

TEST_F(CookieStore, AttributesNormaliseToFirstOccurrence) {
    m_store.StoreSetCookie(" n = v ; PaTh=/a ;path=/b; Version=1; comment=hi", "h");
    EXPECT_EQ(Only()->Name, "n ");
    EXPECT_EQ(Only()->Value, " v");
    EXPECT_EQ(Only()->Path, "/a");
    EXPECT_EQ(Only()->Version, "1");
    EXPECT_EQ(Only()->Comment, "hi");
}

TEST_F(CookieStore, EmptyValueIsStoredUnderHostAndNeverSent) {
    m_store.StoreSetCookie("", "h");
    EXPECT_EQ(Only()->Domain, "h");
    EXPECT_EQ(Only()->Name, "");
    EXPECT_EQ(HeaderFor("http://h/"), "");
}

TEST_F(CookieStore, Rfc2965PortList) {
    m_store.StoreSetCookie2("a=1; path=/; Port=\"80,8080 81\"; Discard; CommentURL=http://c/", "h");
    auto* cookie = dynamic_cast<TNetCookieRFC2965*>(Only());
    ASSERT_NE(cookie, nullptr);
    EXPECT_EQ(cookie->PortList, (std::vector<int32_t>{80, 8080, 81}));
    EXPECT_TRUE(cookie->Discard);
    EXPECT_EQ(cookie->CommentURL, "http://c/");
    EXPECT_EQ(cookie->Style, 0);

    m_store.StoreSetCookie2("b=1; path=/", "h");
    auto* plain = dynamic_cast<TNetCookieRFC2965*>(m_store.CookieCollection().Items(1));
    EXPECT_EQ(plain->PortList, (std::vector<int32_t>{80}));
    EXPECT_THROW(plain->SetPortAt(3, 1), ENetException);
}

TEST_F(CookieStore, BadPortListDropsOnlyThatCookie) {
    m_store.StoreSetCookie("a=1; path=/", "h");
    m_store.StoreSetCookie2("a=2; path=/; Port=\"80,http\"", "h");
    m_store.StoreSetCookie2("b=3; path=/", "h");
    EXPECT_EQ(Stored(), 2);
    EXPECT_EQ(HeaderFor("http://h/"), "b=3; a=1");
}

TEST_F(CookieStore, NewCookieEventCanRefuse) {
    int seen = 0;
    m_store.OnNewCookie = [&seen](TObject*, TNetCookieRFC2109* cookie, bool& accept) {
        ++seen;
        accept = cookie->Name != "tracker";
    };
    m_store.StoreSetCookie("tracker=1; path=/", "h");
    m_store.StoreSetCookie("id=1; path=/", "h");
    m_store.StoreSetCookie("x=1; domain=elsewhere", "h");
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(HeaderFor("http://h/"), "id=1");
}

TEST(CookieManager, DestroyEventSeesCookiesAfterLastSweep) {
    const FixedTimeZone zone(UtcPlus6Zone);
    int seenCount = -1;
    {
        TNetCookieManager store(nullptr);
        store.StoreSetCookie("a=1; path=/; max-age=0", "h");
        store.StoreSetCookie("b=1; path=/", "h");
        store.OnDestroy = [&seenCount](TObject*, TNetCookies* cookies) { seenCount = cookies->Count(); };
    }
    EXPECT_EQ(seenCount, 1);
}

TEST(CookieManager, TimeZoneFailureRaisesFromBuildWhenCookieHasExpiry) {
    TNetCookieManager store(nullptr);
    {
        const FixedTimeZone zone(UtcPlus6Zone);
        store.StoreSetCookie("a=1; path=/; max-age=60", "h");
    }
    const FixedTimeZone zone(UnknownZone);
    EXPECT_THROW(store.BuildCookieHeader(TNetURI("http://h/"), false), ENetFailedToRetreiveTimeZoneInfo);
}

TEST(CookieHelpers, HostTexts) {
    EXPECT_TRUE(IsIPv4Text(" 10.0.0.255 "));
    EXPECT_FALSE(IsIPv4Text("10.0.0"));
    EXPECT_FALSE(IsIPv4Text("10.0.0.256"));
    EXPECT_FALSE(IsIPv4Text("a.b.c.d"));
    EXPECT_TRUE(IsHostNameText(""));
    EXPECT_FALSE(IsHostNameText(".example.ru"));
    EXPECT_EQ(DomainOfHost("www.example.ru"), ".example.ru");
    EXPECT_EQ(DomainOfHost("localhost"), "localhost");
    EXPECT_EQ(AppendCookieAttribute("path", "", "a=1"), "a=1");
    EXPECT_EQ(AppendCookieAttribute("path", "/", "a=1"), "a=1; path=/");
    EXPECT_EQ(AppendCookieFlag("secure", ""), "secure");
}

}  // namespace
}  // namespace pogoda
