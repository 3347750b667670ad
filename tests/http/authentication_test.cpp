#include <gtest/gtest.h>

#include "http/authentication.h"
#include "http/encoder.h"
#include "http/exceptions.h"

namespace pogoda {
namespace {

TEST(Base64, PadsToGroupsOfFour) {
    const struct {
        std::string_view in;
        const char* out;
    } cases[] = {{"", ""},       {"f", "Zg=="},       {"fo", "Zm8="},      {"foo", "Zm9v"},
                 {":", "Og=="},  {"\xff\xfe", "//4="}, {"foob", "Zm9vYg=="}};
    for (const auto& c : cases) EXPECT_EQ(EncodeText<TNetEncoderMIME>(c.in), c.out) << c.in;
}

TEST(Base64, ExplicitCountMustBeWholeGroups) {
    TNetEncoderMIME encoder;
    TNetReadMemoryStream stream("abcdef");
    EXPECT_EQ(encoder.Encode(stream, 3), "YWJj");
    EXPECT_THROW(encoder.Encode(stream, 2), ENetException);
}

TEST(BasicAuthentication, ReadsRealmAndAsksWhenNoUser) {
    TNetBasicAuthentication basic;
    basic.Challenge().Add("Digest realm=\"other\"");
    basic.Challenge().Add("Basic realm=\"weather\", charset=\"UTF-8\"");
    EXPECT_EQ(basic.Advance(), awAskApplication);
    EXPECT_EQ(basic.Realm(), "weather");

    basic.SetUsername("ann");
    EXPECT_EQ(basic.Advance(), awSendRequest);
    basic.SetCurrentStep(1);
    EXPECT_EQ(basic.Advance(), awFail);
}

TEST(BasicAuthentication, Credentials) {
    TNetBasicAuthentication basic;
    EXPECT_EQ(basic.CredentialsValue(), "Basic Og==");
    basic.SetUsername("Aladdin");
    basic.SetPassword("open sesame");
    EXPECT_EQ(basic.CredentialsValue(), "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
    EXPECT_EQ(basic.StepCount(), 1);
    EXPECT_FALSE(basic.KeepsConnection());
}

TEST(AuthRegistry, BasicIsRegisteredAndRefusedTwiceInAnyCase) {
    EXPECT_EQ(FindAuthScheme("bAsIc"), AuthenticationClassOf<TNetBasicAuthentication>());
    EXPECT_EQ(FindAuthScheme("Digest"), nullptr);
    for (const char* name : {"Basic", "basic", "BASIC"}) {
        try {
            RegisterAuthScheme(name, AuthenticationClassOf<TNetBasicAuthentication>());
            FAIL() << "no exception for " << name;
        } catch (const ENetAlreadyRegisteredAuthenticationMethod& e) {
            EXPECT_STREQ(e.what(),
                         "This authentication method is already registered with class name "
                         "TNetBasicAuthentication.");
        }
    }
    const auto scheme = FindAuthScheme("basic")->create();
    EXPECT_STREQ(scheme->ClassName(), "TNetBasicAuthentication");
}

}  // namespace
}  // namespace pogoda
