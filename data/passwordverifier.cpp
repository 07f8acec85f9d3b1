#include "data/passwordverifier.h"

#include <sodium.h>

#include <array>
#include <stdexcept>

namespace dl {

QString ed25519Verifier(const QString& password)
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium did not start");
    const QByteArray bytes = password.toUtf8();
    std::array<unsigned char, crypto_hash_sha512_BYTES> digest{};
    crypto_hash_sha512(digest.data(), reinterpret_cast<const unsigned char*>(bytes.constData()),
                       static_cast<unsigned long long>(bytes.size()));
    // The plugin clamps the scalar as libsodium does (bits 0-2 and 255 off, 254 on).
    std::array<unsigned char, crypto_scalarmult_ed25519_BYTES> key{};
    const int fail = crypto_scalarmult_ed25519_base(key.data(), digest.data());
    sodium_memzero(digest.data(), digest.size());
    if (fail != 0)
        throw std::runtime_error("no ed25519 key for this password");
    std::array<char, sodium_base64_ENCODED_LEN(crypto_scalarmult_ed25519_BYTES,
                                               sodium_base64_VARIANT_ORIGINAL_NO_PADDING)>
        text{};
    sodium_bin2base64(text.data(), text.size(), key.data(), key.size(),
                      sodium_base64_VARIANT_ORIGINAL_NO_PADDING);
    return QString::fromLatin1(text.data());
}

} // namespace dl
