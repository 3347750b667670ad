#include "framework/core/text.h"
#include "http/header_info.h"

namespace pogoda {

TNetProxyConnectionInfo::TNetProxyConnectionInfo() { Clear(); }

TNetProxyConnectionInfo::~TNetProxyConnectionInfo() = default;

void TNetProxyConnectionInfo::Clear() {
    m_proxyServer.clear();
    ProxyUsername.clear();
    ProxyPassword.clear();
    m_proxyPort = 0;
}

void TNetProxyConnectionInfo::SetAuthenticator(std::unique_ptr<TNetAuthentication> value) {
    m_authenticator = std::move(value);
}

void TNetProxyConnectionInfo::SetProxyPort(int32_t value) {
    if (value != m_proxyPort) m_authenticator.reset();
    m_proxyPort = value;
}

void TNetProxyConnectionInfo::SetProxyServer(const std::string& value) {
    if (!AnsiSameText(value, m_proxyServer)) m_authenticator.reset();
    m_proxyServer = value;
}

void TNetProxyConnectionInfo::SetHeaders(TNetHeaderList& headers) {
    if (!m_authenticator && BasicAuthentication) {
        m_authenticator = std::make_unique<TNetBasicAuthentication>();
        m_authenticator->SetUsername(ProxyUsername);
        m_authenticator->SetPassword(ProxyPassword);
    }
    if (!m_authenticator) return;
    const std::string value = m_authenticator->CredentialsValue();
    if (!value.empty()) headers.SetHeader("Proxy-Authorization", value);
}

void TNetProxyConnectionInfo::AssignTo(TPersistent* dest) const {
    auto* target = dynamic_cast<TNetProxyConnectionInfo*>(dest);
    if (target == nullptr) {
        TPersistent::AssignTo(dest);
        return;
    }
    target->ProxyPassword = ProxyPassword;
    target->SetProxyPort(m_proxyPort);
    target->SetProxyServer(m_proxyServer);
    target->ProxyUsername = ProxyUsername;
    target->BasicAuthentication = BasicAuthentication;
}

}  // namespace pogoda
