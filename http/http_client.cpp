#include "http/http_client.h"

#include <cctype>

#include "framework/core/text.h"
#include "http/http_exceptions.h"
#include "http/socket_exceptions.h"
#include "http/text_helpers.h"

namespace pogoda {
namespace {

constexpr int32_t kErrorBodyReadTimeout = 2000;
constexpr int32_t kDrainReadTimeout = 4000;

const char* MethodWord(TNetHTTPMethod method) {
    switch (method) {
        case hmHead: return "HEAD ";
        case hmGet: return "GET ";
        case hmPost: return "POST ";
        case hmOptions: return "OPTIONS ";
        case hmTrace: return "TRACE ";
        case hmPut: return "PUT ";
        case hmDelete: return "DELETE ";
        case hmConnect: return "CONNECT ";
    }
    return "";
}

// Restores a value when it leaves scope.
template <class T>
class TRestore {
public:
    TRestore(T& target, T value) : m_target(target), m_saved(target) { target = value; }
    ~TRestore() { m_target = m_saved; }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;

private:
    T& m_target;
    T m_saved;
};

}  // namespace

int32_t TNetHTTPResponse::StatusCode() {
    std::string rest = StatusLine;
    TakeToken(rest, " ");
    rest = Trim(rest);
    const std::string code = TakeToken(rest, " ", false);
    m_statusCode = StrToIntDef(code, -1);
    // Only a plain decimal number is a status code.
    for (char c : code) {
        if (!std::isdigit(static_cast<unsigned char>(c))) m_statusCode = -1;
    }
    if (code.empty()) m_statusCode = -1;
    return m_statusCode;
}

bool TNetHTTPResponse::ConnectionReusable() {
    if (StatusLine.size() >= 8) {
        const std::string version = StatusLine.substr(5, 3);
        if (SameText(version, "1.0")) ServerVersion = pv1_0;
        if (SameText(version, "1.1")) ServerVersion = pv1_1;
    }
    m_client.CheckPeerClosed(false, false);
    bool reusable = m_client.IsConnected();
    if (reusable) {
        const std::string connection = Trim(Connection);
        const std::string proxyConnection = Trim(ProxyConnection);
        if (m_client.ProtocolVersion == pv1_1) {
            reusable = !SameText(connection, "CLOSE") && !SameText(proxyConnection, "CLOSE");
        } else {
            reusable = SameText(connection, "KEEP-ALIVE") || SameText(proxyConnection, "KEEP-ALIVE");
        }
    }
    m_connectionReusable = reusable;
    return reusable;
}

TNetCustomHTTP::TNetCustomHTTP(TComponent* owner)
    : TNetTCPClient(owner),
      m_request(std::make_unique<TNetHTTPRequest>()),
      m_response(std::make_unique<TNetHTTPResponse>(*this)),
      m_proxyParams(std::make_unique<TNetProxyConnectionInfo>()) {
    SetPort(80);
}

TNetCustomHTTP::~TNetCustomHTTP() { SetCookieManager(nullptr); }

void TNetCustomHTTP::SetHost(const std::string& host) {
    TNetTCPClient::SetHost(host);
    m_currentLocation.Host = host;
}

void TNetCustomHTTP::SetPort(int32_t port) {
    TNetTCPClient::SetPort(port);
    m_currentLocation.Port = IntToStr(port);
}

void TNetCustomHTTP::SetCookieManager(TNetCookieManager* manager) {
    if (m_cookieManager != nullptr && !m_ownCookieManager) {
        m_cookieManager->RemoveFreeNotification(this);
    }
    m_ownCookieManager.reset();
    m_cookieManager = manager;
    if (manager != nullptr) manager->FreeNotification(this);
}

void TNetCustomHTTP::Notification(TComponent* component, TOperation operation) {
    TNetTCPClient::Notification(component, operation);
    if (operation == opRemove && component == m_cookieManager) {
        m_cookieManager = nullptr;
        m_ownCookieManager.release();  // it is being destroyed already
    }
}

void TNetCustomHTTP::NotifyDisconnected() {
    TNetTCPClient::NotifyDisconnected();
    TNetAuthentication* auth = m_request->Authenticator();
    if (auth != nullptr && auth->StepCount() == auth->CurrentStep()) {
        m_request->SetAuthenticator(nullptr);
    }
    if (m_proxyParams->Authenticator() != nullptr) m_proxyParams->Authenticator()->Reset();
}

void TNetCustomHTTP::Get(const std::string& url, TStream* body) {
    PerformRequest(hmGet, url, nullptr, body);
}

void TNetCustomHTTP::PerformRequest(TNetHTTPMethod method, const std::string& url,
                                    TStream* source, TStream* body) {
    const int64_t start = body != nullptr ? body->Position() : 0;
    ServerAuthAttempts = 0;
    ProxyAuthAttempts = 0;
    RedirectsSoFar = 0;
    m_request->RequestURL = url;
    m_request->Method = method;
    m_request->SourceStream = source;
    m_response->BodyStream = body;
    // Between sending a request and reading its answer to the end, the connection is in
    // the middle of a message; a failure there leaves it unusable.
    bool midExchange = false;
    try {
        for (;;) {
            ++RedirectsSoFar;
            PrepareTarget();
            midExchange = true;
            OpenAndSend();
            do {
                m_response->StatusLine = ReadLine();
                ReadHeaderBlock();
                StoreCookies();
            } while (m_response->StatusCode() == 100);
            const TNetHTTPNextStep step = DecideNextStep();
            midExchange = false;
            if (step == nsDone) break;
            if (step == nsUndefined) throw ENetException(messages::kUndefinedSituation);
            if (step == nsRetryWithAuth) {
                --RedirectsSoFar;
                m_request->RequestURL = url;
                continue;
            }
            if (step == nsReadAndFollow) ReadBody();
            if (body != nullptr) {
                body->SetPosition(start);
                body->SetSize(start);
            }
            ServerAuthAttempts = 0;
            ProxyAuthAttempts = 0;
        }
    } catch (const ENetHTTPProtocolException&) {
        // Raised after its error body was read completely: the framing is intact.
        if (!m_response->ConnectionReusable()) Disconnect();
        throw;
    } catch (...) {
        if (midExchange || !m_response->ConnectionReusable()) Disconnect();
        throw;
    }
    if (!m_response->ConnectionReusable()) Disconnect();
    RedirectsSoFar = 0;
}

void TNetCustomHTTP::PrepareTarget() {
    const TNetURI target(m_request->RequestURL);
    TNetURI& loc = m_currentLocation;
    if (!target.Username.empty()) {
        m_request->Username = target.Username;
        m_request->Password = target.Password;
    }
    loc.Username = m_request->Username;
    loc.Password = m_request->Password;
    loc.Path = MergePath(loc.Path, target.Path, '/');
    loc.Document = target.Document;
    loc.Query = target.Query;
    if (!target.Host.empty()) loc.Host = target.Host;
    loc.Protocol = target.Protocol.empty() ? std::string("http") : target.Protocol;
    if (!target.Port.empty()) {
        loc.Port = target.Port;
    } else {
        const int32_t current = StrToIntDef(loc.Port, 0);
        if (current == 0 || current == 80 || current == 443) {
            if (SameText(loc.Protocol, "http")) {
                loc.Port = "80";
            } else if (SameText(loc.Protocol, "https")) {
                loc.Port = "443";
            } else {
                throw ENetUnknownProtocol("");
            }
        }
    }
    const TNetHTTPMethod method = m_request->Method;
    m_request->RequestURL = loc.Path + loc.Document + loc.Query;
    if (method == hmOptions && target.Document == "*") m_request->RequestURL = "*";
    if ((method == hmOptions || method == hmTrace || method == hmPut || method == hmDelete) &&
        ProtocolVersion != pv1_1) {
        throw ENetException(messages::kMethodRequiresVersion);
    }
    const bool hasSource = (method == hmPost || method == hmPut) && m_request->SourceStream;
    m_request->SetContentLength(
        hasSource ? static_cast<int32_t>(m_request->SourceStream->Size()) : -1);
    m_request->Host = loc.Port != "80" ? loc.Host + ":" + loc.Port : loc.Host;
}

void TNetCustomHTTP::OpenAndSend() {
    m_request->ConnectionKind = SelectEndpoint();
    const TNetHTTPConnectionType kind = m_request->ConnectionKind;
    if (kind == ckProxy) m_request->RequestURL = m_currentLocation.ComposePlain();
    if (ProtocolVersion == pv1_0) {
        if (kind == ckDirect && m_request->Connection.empty()) m_request->Connection = "keep-alive";
        if (kind == ckProxy && m_request->Connection.empty()) {
            m_request->ProxyConnection = "keep-alive";
        }
    }
    if (kind == ckSecure || kind == ckSecureProxy) m_request->Connection.clear();
    EnsureConnected();
    SendRequestHead();
    if ((m_request->Method == hmPost || m_request->Method == hmPut) && m_request->SourceStream) {
        WriteFromStream(*m_request->SourceStream, true, 0, false);
    }
}

TNetHTTPConnectionType TNetCustomHTTP::SelectEndpoint() {
    const bool proxied = !m_proxyParams->ProxyServer().empty();
    const std::string host = proxied ? m_proxyParams->ProxyServer() : m_currentLocation.Host;
    const int32_t port = proxied ? m_proxyParams->ProxyPort() : StrToInt(m_currentLocation.Port);
    if (!AnsiSameText(Host(), host) || Port() != port) {
        if (IsConnected()) Disconnect();
        TNetTCPClient::SetHost(host);
        TNetTCPClient::SetPort(port);
    }
    const bool secure = SameText(m_currentLocation.Protocol, "HTTPS");
    // There is no secure transport.
    if (secure) throw ENetIOHandlerPropInvalid(messages::kInvalidIOHandler);
    return proxied ? ckProxy : ckDirect;
}

void TNetCustomHTTP::EnsureConnected() {
    if (!m_response->ConnectionReusable()) Disconnect();
    try {
        PollPeerClosed(false);
    } catch (const ENetSocketError&) {
        // A kept connection the server reset while idle is as good as closed.
        CloseTransport();
        CheckPeerClosed(false, false);
    }
    if (!IsConnected()) Connect(ReadTimeout);
}

void TNetCustomHTTP::SendRequestHead() {
    m_request->WriteToHeaders();
    TNetHeaderList& lines = m_request->HeaderLines();
    m_proxyParams->SetHeaders(lines);
    if (m_cookieManager != nullptr) {
        const std::string cookie = m_cookieManager->BuildCookieHeader(m_currentLocation, false);
        if (!cookie.empty()) lines.SetHeader("Cookie", cookie);
    }
    BeginWriteBatch(-1);
    WriteLine(std::string(MethodWord(m_request->Method)) + m_request->RequestURL + " HTTP/" +
              (ProtocolVersion == pv1_0 ? "1.0" : "1.1"));
    for (int i = 0; i < lines.Count(); ++i) {
        if (!lines.Strings(i).empty()) WriteLine(lines.Strings(i));
    }
    WriteLine("");
    EndWriteBatch();
}

void TNetCustomHTTP::ReadHeaderBlock() {
    TNetHeaderList& lines = m_response->HeaderLines();
    lines.Clear();
    try {
        for (std::string line = ReadLine(); !line.empty(); line = ReadLine()) lines.Add(line);
    } catch (const ENetConnClosedGracefully&) {
        Disconnect();
    }
    m_response->ReadFromHeaders();
}

void TNetCustomHTTP::StoreCookies() {
    if (m_cookieManager == nullptr && AllowCookies) {
        auto own = std::make_unique<TNetCookieManager>(nullptr);
        SetCookieManager(own.get());
        m_ownCookieManager = std::move(own);
    }
    if (m_cookieManager == nullptr) return;
    TStringList values;
    const std::string& host = m_currentLocation.Host;
    m_response->HeaderLines().ExtractAll("Set-cookie", &values);
    for (int i = 0; i < values.Count(); ++i) m_cookieManager->StoreSetCookie(values.Strings(i), host);
    values.Clear();
    m_response->HeaderLines().ExtractAll("Set-cookie2", &values);
    for (int i = 0; i < values.Count(); ++i) m_cookieManager->StoreSetCookie2(values.Strings(i), host);
}

TNetHTTPNextStep TNetCustomHTTP::DecideNextStep() {
    const int32_t code = m_response->StatusCode();
    const int32_t statusClass = code / 100;
    if ((statusClass == 3 && code != 304) || !m_response->Location.empty()) {
        std::string location = m_response->Location;
        TNetHTTPMethod method = m_request->Method;
        TNetHTTPNextStep result = nsDone;
        if (HandleRedirects && RedirectsSoFar < RedirectMaximum) {
            if (!AskRedirect(location, method, RedirectsSoFar)) FailWithStatus();
            result = nsFollow;
            m_request->RequestURL = location;
            m_request->Method = method;
        } else {
            if (!AskRedirect(location, method, RedirectsSoFar)) FailWithStatus();
            m_response->Location = location;
        }
        if (IsConnected()) DrainBody();
        return result;
    }
    TNetHTTPNextStep result = nsUndefined;
    bool retry = false;
    if (statusClass != 2) {
        result = nsFollow;
        if (code == 401) {
            if (ServerAuthAttempts >= AuthRetries || !AuthorizeServer()) {
                if (m_request->Authenticator() != nullptr) m_request->Authenticator()->Reset();
                FailWithStatus();
            }
            retry = (HTTPOptions & hoInProcessAuth) != 0;
        } else if (code == 407) {
            if (ProxyAuthAttempts >= AuthRetries || !AuthorizeProxy()) {
                if (m_proxyParams->Authenticator() != nullptr) {
                    m_proxyParams->Authenticator()->Reset();
                }
                FailWithStatus();
            }
            retry = (HTTPOptions & hoInProcessAuth) != 0;
        } else {
            FailWithStatus();
        }
    }
    if (IsConnected()) {
        if (retry) {
            DrainBody();
            result = nsRetryWithAuth;
        } else {
            if (code != 204) ReadBody();
            result = nsDone;
        }
    }
    return result;
}

std::string TNetCustomHTTP::ReadBodyAside() {
    TMemoryStream text;
    TRestore<TStream*> body(m_response->BodyStream, &text);
    ReadBody();
    return std::string(reinterpret_cast<const char*>(text.Memory()),
                       static_cast<size_t>(text.Size()));
}

void TNetCustomHTTP::FailWithStatus() {
    std::string errorBody;
    {
        TRestore<int32_t> timeout(ReadTimeout, kErrorBodyReadTimeout);
        errorBody = ReadBodyAside();
    }
    throw ENetHTTPProtocolException(m_response->StatusCode(), m_response->StatusLine,
                                    std::move(errorBody));
}

void TNetCustomHTTP::DrainBody() {
    TRestore<int32_t> timeout(ReadTimeout, kDrainReadTimeout);
    try {
        ReadBodyAside();
    } catch (const Exception&) {
        // The body could not be read to its end, so the connection cannot carry another
        // request.
        Disconnect();
    }
}

void TNetCustomHTTP::ReadBody() {
    TStream* stream = m_response->BodyStream;
    if (stream == nullptr) return;
    if (m_response->ContentLength() > 0) {
        try {
            ReadToStream(*stream, m_response->ContentLength(), false);
        } catch (const ENetConnClosedGracefully&) {
            // A body cut short by the peer ends the read; the stream keeps what came.
        }
        return;
    }
    const std::string encoding = m_response->HeaderLines().GetHeader("Transfer-Encoding");
    if (LowerCase(encoding).find("chunked") != std::string::npos) {
        ReportStatus(hsStatusText, messages::kChunkStarted);
        for (int32_t n = ReadChunkSize(); n > 0; n = ReadChunkSize()) {
            ReadToStream(*stream, n, false);
            ReadLine();
        }
        // Trailer lines, up to and including the empty line that ends the message.
        while (!ReadLine().empty()) {
        }
        return;
    }
    if (!m_response->ContentLengthKnown) ReadToStream(*stream, -1, true);
}

int32_t TNetCustomHTTP::ReadChunkSize() {
    const std::string line = ReadLine();
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    int64_t size = 0;
    size_t digits = 0;
    for (; i < line.size() && std::isxdigit(static_cast<unsigned char>(line[i])); ++i, ++digits) {
        const int c = std::tolower(static_cast<unsigned char>(line[i]));
        size = size * 16 + (c <= '9' ? c - '0' : c - 'a' + 10);
        // A chunk cannot be larger than one read run can count.
        if (size > INT32_MAX) throw ENetException(Format("Invalid chunk size: %s", line));
    }
    if (digits == 0) return 0;
    return static_cast<int32_t>(size);
}

bool TNetCustomHTTP::AskRedirect(std::string& location, TNetHTTPMethod& method, int32_t count) {
    bool handled = HandleRedirects;
    OnRedirect(this, location, count, handled, method);
    return handled;
}

bool TNetCustomHTTP::AuthorizeServer() {
    ++ServerAuthAttempts;
    if (m_request->Authenticator() == nullptr) {
        TNetAuthenticationClass authClass = nullptr;
        TNetHeaderList& challenges = m_response->WWWAuthenticate();
        for (int i = 0; i < challenges.Count() && authClass == nullptr; ++i) {
            std::string value = challenges.Strings(i);
            authClass = FindAuthScheme(TakeToken(value, " "));
        }
        if (authClass == nullptr) return false;
        OnSelectAuthorization(this, authClass, challenges);
        if (authClass == nullptr) return false;
        m_request->SetAuthenticator(authClass->create());
    }
    if (!OnAuthorization) return false;
    TNetAuthentication* auth = m_request->Authenticator();
    auth->SetUsername(m_request->Username);
    auth->SetPassword(m_request->Password);
    auth->Settings().SetHeader("Authorization", auth->CredentialsValue());
    auth->Challenge().Assign(&m_response->WWWAuthenticate());
    for (;;) {
        switch (auth->Advance()) {
            case awSendRequest: return true;
            case awFail: return false;
            case awAskApplication: {
                auth->SetUsername(m_request->Username);
                auth->SetPassword(m_request->Password);
                bool handled = false;
                OnAuthorization(this, auth, handled);
                if (!handled) return false;
                m_request->BasicAuthentication = true;
                m_request->Username = auth->Username();
                m_request->Password = auth->Password();
                break;
            }
        }
    }
}

bool TNetCustomHTTP::AuthorizeProxy() {
    ++ProxyAuthAttempts;
    if (m_proxyParams->Authenticator() == nullptr) {
        TNetAuthenticationClass authClass = nullptr;
        TNetHeaderList& challenges = m_response->ProxyAuthenticate();
        for (int i = 0; i < challenges.Count() && authClass == nullptr; ++i) {
            std::string value = challenges.Strings(i);
            authClass = FindAuthScheme(TakeToken(value, " "));
        }
        if (authClass == nullptr) return false;
        OnSelectProxyAuthorization(this, authClass, challenges);
        if (authClass == nullptr) return false;
        m_proxyParams->SetAuthenticator(authClass->create());
    }
    TNetAuthentication* auth = m_proxyParams->Authenticator();
    m_proxyParams->ProxyPassword.clear();
    auth->Reset();
    if (!OnProxyAuthorization) return false;
    auth->SetUsername(m_proxyParams->ProxyUsername);
    auth->SetPassword(m_proxyParams->ProxyPassword);
    auth->Challenge().Assign(&m_response->ProxyAuthenticate());
    for (;;) {
        switch (auth->Advance()) {
            case awSendRequest: return true;
            case awFail: return false;
            case awAskApplication: {
                auth->SetUsername(m_proxyParams->ProxyUsername);
                auth->SetPassword(m_proxyParams->ProxyPassword);
                bool handled = false;
                OnProxyAuthorization(this, auth, handled);
                if (!handled) return false;
                m_proxyParams->ProxyUsername = auth->Username();
                m_proxyParams->ProxyPassword = auth->Password();
                break;
            }
        }
    }
}

}  // namespace pogoda
