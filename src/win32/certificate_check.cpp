#include "win32/certificate_check.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstring>
#include <vector>


namespace tarvex::win32 {

namespace {

// The "Cert:" entry of one certificate curl reports, as DER.
std::vector<BYTE> derOf(const curl_slist* fields) {
    for (; fields; fields = fields->next) {
        if (std::strncmp(fields->data, "Cert:", 5) != 0) continue;
        DWORD size = 0;
        const char* pem = fields->data + 5;
        if (!CryptStringToBinaryA(pem, 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) break;
        std::vector<BYTE> der(size);
        if (CryptStringToBinaryA(pem, 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr)) return der;
        break;
    }
    return {};
}

// The chain only: the name is Schannel's to check, in the handshake (Windows
// matches an address in the certificate there, where the SSL policy may not).
// The chain's own status is read, as not every SSL policy reports an unknown
// root (Wine's does not); revocation that cannot be asked is let pass, as curl is told.
DWORD chainFault(PCCERT_CONTEXT leaf, HCERTSTORE sent) {
    CERT_CHAIN_PARA para{};
    para.cbSize = sizeof(para);
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(nullptr, leaf, nullptr, sent, &para, 0, nullptr, &chain))
        return GetLastError();
    const DWORD fault = chain->TrustStatus.dwErrorStatus &
                        ~static_cast<DWORD>(CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION);
    CertFreeCertificateChain(chain);
    return fault;
}

}  // namespace

bool windowsTrusts(CURL* curl, std::string& why) {
    curl_certinfo* info = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CERTINFO, &info) != CURLE_OK || !info || info->num_of_certs <= 0)
        return true;
    HCERTSTORE sent = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr);
    PCCERT_CONTEXT leaf = nullptr;
    for (int i = 0; sent && i < info->num_of_certs; ++i) {
        const std::vector<BYTE> der = derOf(info->certinfo[i]);
        if (!der.empty())
            CertAddEncodedCertificateToStore(sent, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                             CERT_STORE_ADD_ALWAYS, i == 0 && !leaf ? &leaf : nullptr);
    }
    const DWORD fault = leaf ? chainFault(leaf, sent) : static_cast<DWORD>(CRYPT_E_NOT_FOUND);
    if (leaf) CertFreeCertificateContext(leaf);
    if (sent) CertCloseStore(sent, 0);
    if (fault == 0) return true;
    char text[32];
    std::snprintf(text, sizeof text, "estado 0x%lX", static_cast<unsigned long>(fault));
    why = std::string("certificado recusado pelo Windows (") + text + ")";
    return false;
}

}  // namespace tarvex::win32
