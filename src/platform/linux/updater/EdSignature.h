#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace pellucine {

enum class SignatureCheck {
    valid,
    // The signature does not match the data and key.
    invalid,
    // No usable public key: nothing can be verified.
    missingKey,
    // The release carries no usable signature.
    missingSignature,
};

// Checks an Ed25519 signature of the whole of `data`; key (32 bytes) and signature (64 bytes)
// are base64.
SignatureCheck checkEdSignature(const QByteArray& data, const std::optional<QString>& signature,
                                const std::optional<QString>& publicKey);
// Whether `publicKey` is a key signatures can be checked against.
bool isUsablePublicKey(const std::optional<QString>& publicKey);

}  // namespace pellucine
