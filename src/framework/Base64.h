#pragma once
// Standard Base64 (RFC 4648 alphabet, "=" padding), used for the HTTP Basic authorisation
// header. Pure function, safe from any thread.
#include <string>
#include <string_view>

namespace tavora::framework {

std::string Base64Encode(std::string_view bytes);

} // namespace tavora::framework
