// Version order over any three texts, one a line: the comparison is antisymmetric, transitive and
// consistent with its equality, whichever way round the three are taken.
#include <QList>
#include <QString>
#include <algorithm>
#include <array>

#include "FuzzSupport.h"
#include "base/VersionComparator.h"

using namespace pellucine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> lines = fuzz::bytesOf(data, size).split('\n');
    std::array<QString, 3> v;
    for (std::size_t i = 0; i < v.size() && i < std::size_t(lines.size()); ++i) {
        v[i] = QString::fromUtf8(lines[qsizetype(i)]);
    }
    std::array<std::size_t, 3> at{0, 1, 2};
    do {
        const QString& a = v[at[0]];
        const QString& b = v[at[1]];
        const QString& c = v[at[2]];
        const std::weak_ordering ab = compareVersions(a, b);
        const std::weak_ordering bc = compareVersions(b, c);
        const std::weak_ordering ac = compareVersions(a, c);
        FUZZ_CHECK(compareVersions(b, a) == (0 <=> ab));
        FUZZ_CHECK(compareVersions(a, a) == 0);
        if (ab <= 0 && bc <= 0) {
            FUZZ_CHECK(ac <= 0);
        }
        if (ab == 0) {
            FUZZ_CHECK(ac == bc);
        }
    } while (std::next_permutation(at.begin(), at.end()));
    return 0;
}
