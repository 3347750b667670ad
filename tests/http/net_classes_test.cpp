#include "http/net_classes.h"

#include <gtest/gtest.h>

#include "framework/core/definitions.h"
#include "http/anti_freeze.h"
#include "http/cookies.h"
#include "http/http_client.h"

namespace pogoda {
namespace {

// A window that carries the fetch's three components, as the main window does.
class TNetTestForm : public TComponent {
    POGODA_CLASS_NAME(TNetTestForm)
public:
    using TComponent::TComponent;

    TNetHTTP* NetHTTP1 = nullptr;
    TNetAntiFreeze* NetAntiFreeze1 = nullptr;
    TNetCookieManager* NetCookieManager1 = nullptr;
    int workBegins = 0;
    int works = 0;

    void NetHTTP1WorkBegin(TObject*, TWorkMode, int32_t) { ++workBegins; }
    void NetHTTP1Work(TObject*, TWorkMode, int32_t) { ++works; }
};

void RegisterTestForm() {
    RegisterNetClasses();
    RegisterNetClasses();  // a second call changes nothing
    static std::once_flag once;
    std::call_once(once, [] {
        ClassRegistry()
            .Register<TNetTestForm>(nullptr)
            .Handler("NetHTTP1Work", &TNetTestForm::NetHTTP1Work)
            .Handler("NetHTTP1WorkBegin", &TNetTestForm::NetHTTP1WorkBegin)
            .Field("NetHTTP1", &TNetTestForm::NetHTTP1)
            .Field("NetAntiFreeze1", &TNetTestForm::NetAntiFreeze1)
            .Field("NetCookieManager1", &TNetTestForm::NetCookieManager1);
    });
}

TEST(NetClasses, MainWindowSettingsReachTheClient) {
    RegisterTestForm();
    TNetTestForm form(nullptr);
    ReadDefinition(form, R"(object Form1: TNetTestForm
  object NetHTTP1: TNetHTTP
    MaxLineAction = maSplit
    ReadTimeout = 1500
    AllowCookies = False
    ProxyParams.BasicAuthentication = True
    ProxyParams.ProxyPort = 3128
    Request.ContentLength = -1
    Request.ContentRangeEnd = 20
    Request.ContentRangeStart = 10
    Request.ContentType = 'text/html'
    Request.Accept = 'text/html, */*'
    Request.BasicAuthentication = True
    Request.UserAgent = 'Agent/1.0'
    HTTPOptions = [hoForceEncodeParams, hoInProcessAuth]
    OnWork = NetHTTP1Work
    OnWorkBegin = NetHTTP1WorkBegin
  end
  object NetAntiFreeze1: TNetAntiFreeze
  end
  object NetCookieManager1: TNetCookieManager
  end
end
)");
    ASSERT_NE(form.NetHTTP1, nullptr);
    ASSERT_NE(form.NetAntiFreeze1, nullptr);
    ASSERT_NE(form.NetCookieManager1, nullptr);
    TNetHTTP& http = *form.NetHTTP1;
    EXPECT_EQ(http.MaxLineAction, maSplit);
    EXPECT_EQ(http.ReadTimeout, 1500);
    EXPECT_FALSE(http.AllowCookies);
    EXPECT_TRUE(http.ProxyParams().BasicAuthentication);
    EXPECT_EQ(http.ProxyParams().ProxyPort(), 3128);
    EXPECT_EQ(http.Request().ContentLength(), -1);
    EXPECT_EQ(http.Request().ContentRangeEnd, 20u);
    EXPECT_EQ(http.Request().ContentRangeStart, 10u);
    EXPECT_EQ(http.Request().ContentType, "text/html");
    EXPECT_EQ(http.Request().Accept, "text/html, */*");
    EXPECT_TRUE(http.Request().BasicAuthentication);
    EXPECT_EQ(http.Request().UserAgent, "Agent/1.0");
    EXPECT_EQ(http.HTTPOptions, hoForceEncodeParams | hoInProcessAuth);
    // The store on the window is not the client's unless the definition says so.
    EXPECT_EQ(http.CookieManager(), nullptr);
    EXPECT_EQ(TNetAntiFreezeBase::Registered(), form.NetAntiFreeze1);

    http.OnWorkBegin(&http, wmRead, 10);
    http.OnWork(&http, wmRead, 5);
    EXPECT_EQ(form.workBegins, 1);
    EXPECT_EQ(form.works, 1);
}

TEST(NetClasses, UnknownSettingIsNamed) {
    RegisterTestForm();
    TNetTestForm form(nullptr);
    try {
        ReadDefinition(form, "object Form1: TNetTestForm\n"
                             "  object NetHTTP1: TNetHTTP\n"
                             "    Request.Colour = 'blue'\n"
                             "  end\n"
                             "end\n");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("Colour"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("(line 3)"), std::string::npos) << e.Message();
    }
}

}  // namespace
}  // namespace pogoda
