// The desktop's light or dark preference as other programs publish it: an XSETTINGS manager's
// property, kdeglobals, gsettings' output and a theme name.
#include "FuzzSupport.h"
#include "platform/linux/DesktopSchemeReadings.h"
#include "platform/x11/XSettingsData.h"

using namespace pellucine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    if (const auto strings = readXSettingsStrings(bytes)) {
        qsizetype held = 0;
        for (auto it = strings->begin(); it != strings->end(); ++it) {
            held += it.key().toUtf8().size() + it.value().toUtf8().size();
        }
        // Malformed UTF-8 can only grow into replacement characters, three bytes each.
        FUZZ_CHECK(held <= 3 * bytes.size());
    }
    const QString text = QString::fromUtf8(bytes);
    const SchemePreference kde = schemeOfKdeGlobals(bytes);
    const SchemePreference gnome = schemeOfGnomeSetting(text);
    const SchemePreference theme = schemeOfThemeName(text);
    FUZZ_CHECK((theme == SchemePreference::none) == text.trimmed().isEmpty());
    const DesktopSchemeReadings readings{SchemePreference::none, gnome, theme, kde};
    const SchemePreference chosen = preferredScheme(readings, text.split(u':'));
    FUZZ_CHECK(chosen == SchemePreference::none || chosen == gnome || chosen == theme ||
               chosen == kde);
    return 0;
}
