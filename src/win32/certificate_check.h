#pragma once
// The server's certificate held once more against what Windows trusts, after
// curl's transfer: Schannel checks it during the handshake, but not every
// Schannel does (Wine's takes any), and an untrusted server must never pass.
#include <curl/curl.h>

#include <string>

namespace tarvex::win32 {

// False, with the system's reason in `why`, when the certificates curl saw
// (CURLOPT_CERTINFO) do not chain to a root Windows trusts. True when they
// do, or when no TLS was spoken.
bool windowsTrusts(CURL* curl, std::string& why);

}  // namespace tarvex::win32
