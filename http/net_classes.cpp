#include "http/net_classes.h"

#include <mutex>

#include "framework/core/definitions.h"
#include "http/anti_freeze.h"
#include "http/cookies.h"
#include "http/http_client.h"

namespace pogoda {
namespace {

void Register() {
    TClassRegistry& registry = ClassRegistry();

    TClassInfo& request = registry.Register("TNetHTTPRequest", nullptr);
    request
        .Property("ContentLength", [](TNetHTTPRequest& r, int32_t v) { r.SetContentLength(v); })
        .Property("ContentRangeEnd", [](TNetHTTPRequest& r, uint32_t v) { r.ContentRangeEnd = v; })
        .Property("ContentRangeStart",
                  [](TNetHTTPRequest& r, uint32_t v) { r.ContentRangeStart = v; })
        .Property("ContentType", [](TNetHTTPRequest& r, std::string v) { r.ContentType = v; })
        .Property("Accept", [](TNetHTTPRequest& r, std::string v) { r.Accept = v; })
        .Property("BasicAuthentication",
                  [](TNetHTTPRequest& r, bool v) { r.BasicAuthentication = v; })
        .Property("UserAgent", [](TNetHTTPRequest& r, std::string v) { r.UserAgent = v; });

    TClassInfo& proxy = registry.Register("TNetProxyConnectionInfo", nullptr);
    proxy
        .Property("BasicAuthentication",
                  [](TNetProxyConnectionInfo& p, bool v) { p.BasicAuthentication = v; })
        .Property("ProxyPort", [](TNetProxyConnectionInfo& p, int32_t v) { p.SetProxyPort(v); })
        .Property("ProxyServer",
                  [](TNetProxyConnectionInfo& p, std::string v) { p.SetProxyServer(v); });

    TClassInfo& http = registry.Register<TNetHTTP>(nullptr);
    http.Enum("MaxLineAction", [](TNetHTTP& h, TNetMaxLineAction v) { h.MaxLineAction = v; },
              {{"maException", maException}, {"maSplit", maSplit}})
        .Property("ReadTimeout", [](TNetHTTP& h, int32_t v) { h.ReadTimeout = v; })
        .Property("AllowCookies", [](TNetHTTP& h, bool v) { h.AllowCookies = v; })
        .Set("HTTPOptions", [](TNetHTTP& h, unsigned v) { h.HTTPOptions = v; },
             {{"hoInProcessAuth", hoInProcessAuth},
              {"hoKeepOrigProtocol", hoKeepOrigProtocol},
              {"hoForceEncodeParams", hoForceEncodeParams}})
        .Property("CookieManager",
                  [](TNetHTTP& h, TNetCookieManager* m) { h.SetCookieManager(m); })
        .Property("OnWork", [](TNetHTTP& h, TWorkEvent e) { h.OnWork = e; })
        .Property("OnWorkBegin", [](TNetHTTP& h, TWorkBeginEvent e) { h.OnWorkBegin = e; })
        .Property("OnWorkEnd", [](TNetHTTP& h, TWorkEndEvent e) { h.OnWorkEnd = e; })
        .Property("OnStatus", [](TNetHTTP& h, TNetStatusEvent e) { h.OnStatus = e; })
        .Object("Request", [](TNetHTTP& h) { return &h.Request(); }, request)
        .Object("ProxyParams", [](TNetHTTP& h) { return &h.ProxyParams(); }, proxy);

    registry.Register<TNetAntiFreeze>(nullptr)
        .Property("Active", [](TNetAntiFreeze& a, bool v) { a.Active = v; })
        .Property("IdleTimeOut", [](TNetAntiFreeze& a, int32_t v) { a.IdleTimeOut = v; })
        .Property("OnlyWhenIdle", [](TNetAntiFreeze& a, bool v) { a.OnlyWhenIdle = v; });

    registry.Register<TNetCookieManager>(nullptr)
        .Property("OnCreate", [](TNetCookieManager& m, TOnManagerEvent e) { m.OnCreate = e; })
        .Property("OnDestroy", [](TNetCookieManager& m, TOnManagerEvent e) { m.OnDestroy = e; })
        .Property("OnNewCookie",
                  [](TNetCookieManager& m, TOnNewCookieEvent e) { m.OnNewCookie = e; });
}

}  // namespace

void RegisterNetClasses() {
    static std::once_flag once;
    std::call_once(once, Register);
}

}  // namespace pogoda
