#pragma once
// Base64 of RFC 4648: standard alphabet, "=" padding.
#include <optional>

#include "support/bytes.h"

namespace payfmt {

Bytes rawToBase64(BytesView raw);

// Decodes padded Base64 (unpadded final groups of 2 or 3 characters are
// accepted too). Any other character, a lone final character or data after
// padding gives nullopt. An empty text decodes to empty bytes.
std::optional<Bytes> base64ToRaw(std::string_view text);

}  // namespace payfmt
