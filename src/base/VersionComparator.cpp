#include "base/VersionComparator.h"

#include <limits>
#include <vector>

namespace pellucine {

namespace {

struct Component {
    enum class Kind { number, string, separator };
    Kind kind = Kind::separator;
    bool period = false;
    quint64 number = 0;
    QStringView text;
};

Component::Kind kindOf(QChar c) {
    if (c.isDigit()) {
        return Component::Kind::number;
    }
    if (c.isSpace() || c.isPunct()) {
        return Component::Kind::separator;
    }
    return Component::Kind::string;
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

std::vector<Component> split(QStringView version) {
    std::vector<Component> parts;
    qsizetype i = 0;
    while (i < version.size()) {
        const QChar c = version[i];
        if (c == u'-' && i > 0) {
            break;
        }
        const Component::Kind kind = kindOf(c);
        if (kind == Component::Kind::separator) {
            parts.push_back({kind, c == u'.', 0, version.mid(i, 1)});
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < version.size() && kindOf(version[end]) == kind) {
            ++end;
        }
        const QStringView run = version.mid(i, end - i);
        parts.push_back(
            {kind, false, kind == Component::Kind::number ? saturatingNumber(run) : 0, run});
        i = end;
    }
    return parts;
}

// The leading run of numbers and periods: its length in parts and how many numbers it holds.
std::pair<std::size_t, int> numericPrefix(const std::vector<Component>& parts) {
    std::size_t length = 0;
    int numbers = 0;
    for (const Component& component : parts) {
        if (component.kind == Component::Kind::number) {
            ++numbers;
        } else if (!component.period) {
            break;
        }
        ++length;
    }
    return {length, numbers};
}

// Pads the shorter leading run with ".0" so that both hold as many numbers: "1.0" reads as
// "1.0.0" beside "1.0.0", and "" as "0" beside "0".
void balance(std::vector<Component>& a, std::vector<Component>& b) {
    auto [lengthA, numbersA] = numericPrefix(a);
    auto [lengthB, numbersB] = numericPrefix(b);
    std::vector<Component>& shorter = numbersA < numbersB ? a : b;
    std::size_t at = numbersA < numbersB ? lengthA : lengthB;
    for (int n = std::min(numbersA, numbersB); n < std::max(numbersA, numbersB); ++n) {
        if (at > 0) {
            shorter.insert(shorter.begin() + static_cast<std::ptrdiff_t>(at++),
                           {Component::Kind::separator, true, 0, {}});
        }
        shorter.insert(shorter.begin() + static_cast<std::ptrdiff_t>(at++),
                       {Component::Kind::number, false, 0, {}});
    }
}

// Numbers rank above separators, separators above letters.
int rank(Component::Kind kind) {
    switch (kind) {
        case Component::Kind::number:
            return 2;
        case Component::Kind::separator:
            return 1;
        case Component::Kind::string:
            return 0;
    }
    return 0;
}

std::weak_ordering compareParts(const Component& a, const Component& b) {
    if (a.kind != b.kind) {
        return rank(a.kind) <=> rank(b.kind);
    }
    switch (a.kind) {
        case Component::Kind::number:
            return a.number <=> b.number;
        case Component::Kind::string:
            return a.text.compare(b.text, Qt::CaseSensitive) <=> 0;
        case Component::Kind::separator:
            return std::weak_ordering::equivalent;
    }
    return std::weak_ordering::equivalent;
}

}  // namespace

std::weak_ordering compareVersions(QStringView a, QStringView b) {
    std::vector<Component> partsA = split(a);
    std::vector<Component> partsB = split(b);
    balance(partsA, partsB);
    const std::size_t common = std::min(partsA.size(), partsB.size());
    for (std::size_t i = 0; i < common; ++i) {
        const std::weak_ordering order = compareParts(partsA[i], partsB[i]);
        if (order != 0) {
            return order;
        }
    }
    if (partsA.size() == partsB.size()) {
        return std::weak_ordering::equivalent;
    }
    // A longer version is newer, unless what it adds begins with letters ("1.0b1" < "1.0").
    const bool aIsLonger = partsA.size() > partsB.size();
    const Component& extra = aIsLonger ? partsA[common] : partsB[common];
    const bool longerIsNewer = extra.kind != Component::Kind::string;
    return aIsLonger == longerIsNewer ? std::weak_ordering::greater : std::weak_ordering::less;
}

}  // namespace pellucine
