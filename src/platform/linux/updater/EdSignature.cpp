#include "platform/linux/updater/EdSignature.h"

#include <sodium.h>

namespace pellucine {

namespace {

std::optional<QByteArray> decodeBase64(const std::optional<QString>& text, qsizetype size) {
    if (!text) {
        return std::nullopt;
    }
    const auto decoded = QByteArray::fromBase64Encoding(text->trimmed().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != size) {
        return std::nullopt;
    }
    return decoded.decoded;
}

}  // namespace

bool isUsablePublicKey(const std::optional<QString>& publicKey) {
    return decodeBase64(publicKey, crypto_sign_PUBLICKEYBYTES).has_value();
}

SignatureCheck checkEdSignature(const QByteArray& data, const std::optional<QString>& signature,
                                const std::optional<QString>& publicKey) {
    const auto key = decodeBase64(publicKey, crypto_sign_PUBLICKEYBYTES);
    if (!key) {
        return SignatureCheck::missingKey;
    }
    const auto bytes = decodeBase64(signature, crypto_sign_BYTES);
    if (!bytes) {
        return SignatureCheck::missingSignature;
    }
    if (sodium_init() < 0) {
        return SignatureCheck::invalid;
    }
    const int result =
        crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(bytes->constData()),
                                    reinterpret_cast<const unsigned char*>(data.constData()),
                                    static_cast<unsigned long long>(data.size()),
                                    reinterpret_cast<const unsigned char*>(key->constData()));
    return result == 0 ? SignatureCheck::valid : SignatureCheck::invalid;
}

}  // namespace pellucine
