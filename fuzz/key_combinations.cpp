// Key combinations as stored: {"keyCode": …, "modifiers": …}, found anywhere in a JSON document.
// A combination that decodes encodes to itself, and every combination has labels.
#include <QJsonArray>
#include <QJsonDocument>

#include "FuzzSupport.h"
#include "preferences/KeyCombo.h"
#include "preferences/PreferenceCodingError.h"

using namespace pellucine;

namespace {

void check(const QJsonValue& value) {
    KeyCombo combo;
    try {
        combo = KeyCombo::fromJson(value, QStringLiteral("combo"));
    } catch (const PreferenceDecodingError&) {
        return;
    }
    try {
        FUZZ_CHECK(KeyCombo::fromJson(combo.toJson()) == combo);
    } catch (const Error& error) {
        std::fprintf(stderr, "a decoded combination does not encode to itself: %s\n", error.what());
        std::abort();
    }
    const QStringList labels = combo.keycapLabels();
    FUZZ_CHECK(!labels.isEmpty() && labels.last() == KeyCombo::keyName(combo.keyCode));
    FUZZ_CHECK(!KeyCombo::keyName(combo.keyCode).isEmpty());
    if (const auto equivalent = KeyCombo::menuKeyEquivalent(combo.keyCode)) {
        FUZZ_CHECK(equivalent->size() == 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QJsonDocument document = QJsonDocument::fromJson(fuzz::bytesOf(data, size));
    if (document.isObject()) {
        const QJsonObject object = document.object();
        check(object);
        for (auto it = object.begin(); it != object.end(); ++it) {
            check(it.value());
        }
    } else if (document.isArray()) {
        for (const QJsonValue& value : document.array()) {
            check(value);
        }
    }
    return 0;
}
