#include "base/VersionComparator.h"

#include <limits>
#include <vector>

namespace pellucine {

namespace {

// One part of a version's key. Keys compare part by part; a key that ends first compares as if
// it went on with `end`, so the order over keys is total: letters < end < separator < number.
struct Part {
    enum class Kind { string, end, separator, number };
    Kind kind = Kind::end;
    quint64 number = 0;
    QStringView text;
};

Part::Kind kindOf(QChar c) {
    if (c.isDigit()) {
        return Part::Kind::number;
    }
    if (c.isSpace() || c.isPunct()) {
        return Part::Kind::separator;
    }
    return Part::Kind::string;
}

quint64 saturatingNumber(QStringView digits) {
    constexpr quint64 max = std::numeric_limits<quint64>::max();
    quint64 value = 0;
    for (const QChar c : digits) {
        const auto digit = static_cast<quint64>(c.digitValue());
        if (value > (max - digit) / 10) {
            return max;
        }
        value = value * 10 + digit;
    }
    return value;
}

struct Run {
    Part part;
    bool period = false;
};

// Runs of digits, of letters, and single separators, up to the first dash after the start.
std::vector<Run> split(QStringView version) {
    std::vector<Run> runs;
    qsizetype i = 0;
    while (i < version.size()) {
        const QChar c = version[i];
        if (c == u'-' && i > 0) {
            break;
        }
        const Part::Kind kind = kindOf(c);
        qsizetype end = i + 1;
        while (kind != Part::Kind::separator && end < version.size() &&
               kindOf(version[end]) == kind) {
            ++end;
        }
        const QStringView run = version.mid(i, end - i);
        runs.push_back(
            {{kind, kind == Part::Kind::number ? saturatingNumber(run) : 0, run}, c == u'.'});
        i = end;
    }
    return runs;
}

// The version in a form compared part by part with no regard to the other version:
// - the leading numbers joined by single periods lose their trailing zeros, so "1.0" is "1",
//   "1.0.0" too, and "0" is ""; "1.0b1" is "1b1";
// - a run of separators is one separator, and separators before letters are dropped, so
//   "1.0.b1" is "1b1": letters after a release always mark one before it.
std::vector<Part> keyOf(QStringView version) {
    const std::vector<Run> runs = split(version);
    std::vector<Part> key;
    std::size_t i = 0;
    std::size_t kept = 0;
    while (i < runs.size() && runs[i].part.kind == Part::Kind::number) {
        key.push_back(runs[i].part);
        if (runs[i].part.number != 0) {
            kept = key.size();
        }
        const bool joined = i + 2 < runs.size() && runs[i + 1].period &&
                            runs[i + 2].part.kind == Part::Kind::number;
        if (!joined) {
            ++i;
            break;
        }
        key.push_back(runs[i + 1].part);
        i += 2;
    }
    key.resize(kept);
    for (; i < runs.size(); ++i) {
        const Part& part = runs[i].part;
        if (part.kind == Part::Kind::separator) {
            const bool afterSeparator = !key.empty() && key.back().kind == Part::Kind::separator;
            const bool beforeLetters =
                i + 1 < runs.size() && (runs[i + 1].part.kind == Part::Kind::string);
            if (afterSeparator || beforeLetters) {
                continue;
            }
        }
        key.push_back(part);
    }
    return key;
}

std::weak_ordering compareParts(const Part& a, const Part& b) {
    if (a.kind != b.kind) {
        return a.kind <=> b.kind;
    }
    switch (a.kind) {
        case Part::Kind::number:
            return a.number <=> b.number;
        case Part::Kind::string:
            return a.text.compare(b.text, Qt::CaseSensitive) <=> 0;
        case Part::Kind::end:
        case Part::Kind::separator:
            return std::weak_ordering::equivalent;
    }
    return std::weak_ordering::equivalent;
}

}  // namespace

std::weak_ordering compareVersions(QStringView a, QStringView b) {
    const std::vector<Part> keyA = keyOf(a);
    const std::vector<Part> keyB = keyOf(b);
    const Part end;
    for (std::size_t i = 0; i < std::max(keyA.size(), keyB.size()); ++i) {
        const std::weak_ordering order =
            compareParts(i < keyA.size() ? keyA[i] : end, i < keyB.size() ? keyB[i] : end);
        if (order != 0) {
            return order;
        }
    }
    return std::weak_ordering::equivalent;
}

}  // namespace pellucine
