#include "http/authentication.h"

#include "http/encoder.h"
#include "http/text_helpers.h"

namespace pogoda {

TNetAuthentication::TNetAuthentication() = default;

void TNetAuthentication::SetPassword(std::string_view value) {
    m_settings.SetHeader("Password", value);
}

void TNetAuthentication::SetUsername(std::string_view value) {
    m_settings.SetHeader("Username", value);
}

TNetHeaderList& TNetAuthentication::Challenge() {
    if (!m_challenge) m_challenge = std::make_unique<TNetHeaderList>();
    return *m_challenge;
}

std::string TNetBasicAuthentication::CredentialsValue() {
    return "Basic " + EncodeText<TNetEncoderMIME>(Username() + ":" + Password());
}

TNetAuthWhatsNext TNetBasicAuthentication::DoNext() {
    const TNetHeaderList& challenge = Challenge();
    std::string line;
    for (int i = 0; i < challenge.Count(); ++i) {
        if (challenge.Strings(i).starts_with("Basic")) {
            line = challenge.Strings(i);
            break;
        }
    }
    TakeToken(line, " ");
    while (!line.empty()) {
        std::string parameter = TakeToken(line, ", ");
        const size_t equals = parameter.find('=');
        if (equals != std::string::npos) parameter.replace(equals, 1, Settings().Separator());
        Settings().Add(parameter);
    }
    const std::string realm = Settings().GetHeader("realm");
    m_realm = realm.size() >= 2 ? realm.substr(1, realm.size() - 2) : std::string();

    switch (CurrentStep()) {
    case 0:
        return Username().empty() ? awAskApplication : awSendRequest;
    case 1:
        return awFail;
    default:
        return awSendRequest;
    }
}

}  // namespace pogoda
