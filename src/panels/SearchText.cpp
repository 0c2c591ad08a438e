#include "panels/SearchText.h"

#include <QChar>
#include <algorithm>
#include <vector>

namespace pellucine::SearchText {

namespace {

// Simple case folding maps this capital sharp s to "ß", but its full folding is "ss", two
// characters, so it keeps its own form.
constexpr char32_t capitalSharpS = 0x1E9E;

void appendCodePoint(QString& s, char32_t cp) {
    if (QChar::requiresSurrogates(cp)) {
        s.append(QChar(QChar::highSurrogate(cp)));
        s.append(QChar(QChar::lowSurrogate(cp)));
    } else {
        s.append(QChar(static_cast<char16_t>(cp)));
    }
}

// Calls visit(char32_t) for each code point; a lone surrogate is passed on as it is.
template <class Visit>
void forEachCodePoint(QStringView text, Visit&& visit) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            visit(QChar::surrogateToUcs4(u, text[i + 1].unicode()));
            ++i;
        } else {
            visit(static_cast<char32_t>(u));
        }
    }
}

char32_t firstCodePoint(QStringView text) {
    if (text.isEmpty()) {
        return 0;
    }
    const char16_t u = text[0].unicode();
    if (QChar::isHighSurrogate(u) && text.size() > 1 && QChar::isLowSurrogate(text[1].unicode())) {
        return QChar::surrogateToUcs4(u, text[1].unicode());
    }
    return u;
}

bool isOneCodePoint(QStringView text) {
    return text.size() == 1 || (text.size() == 2 && QChar::isHighSurrogate(text[0].unicode()) &&
                                QChar::isLowSurrogate(text[1].unicode()));
}

std::u16string_view asStd(QStringView s) {
    return {s.utf16(), static_cast<std::size_t>(s.size())};
}

bool isSingleAscii(QStringView character) {
    return character.size() == 1 && character[0].unicode() < 0x80;
}

char32_t asciiFold(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c;
}

bool asciiLetterOrNumber(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

}  // namespace

qsizetype characterCount(QStringView text) {
    qsizetype count = 0;
    forEachCharacter(text, [&count](QStringView) { ++count; });
    return count;
}

QString canonicalDecomposition(QStringView text) {
    std::vector<char32_t> points;
    points.reserve(static_cast<std::size_t>(text.size()));
    forEachCodePoint(text, [&points](char32_t cp) {
        if (QChar::decompositionTag(cp) != QChar::Canonical) {
            points.push_back(cp);
            return;
        }
        QString single;
        appendCodePoint(single, cp);
        forEachCodePoint(single.normalized(QString::NormalizationForm_D),
                         [&points](char32_t part) { points.push_back(part); });
    });
    // Canonical order: every run of marks (combining class above 0) sorted stably by class.
    const auto isMark = [](char32_t cp) { return QChar::combiningClass(cp) != 0; };
    for (auto run = points.begin(); run != points.end();) {
        run = std::find_if(run, points.end(), isMark);
        const auto runEnd = std::find_if_not(run, points.end(), isMark);
        if (runEnd - run > 1) {
            std::stable_sort(run, runEnd, [](char32_t a, char32_t b) {
                return QChar::combiningClass(a) < QChar::combiningClass(b);
            });
        }
        run = runEnd;
    }
    QString out;
    out.reserve(text.size());
    for (const char32_t cp : points) {
        appendCodePoint(out, cp);
    }
    return out;
}

QString canonicalComposition(QStringView text) {
    // Already decomposed and in order, Qt's composition passes over the text once.
    return canonicalDecomposition(text).normalized(QString::NormalizationForm_C);
}

QString foldCharacter(QStringView character) {
    if (isSingleAscii(character)) {
        return QString(QChar(static_cast<char16_t>(asciiFold(character[0].unicode()))));
    }
    QString widthFolded;
    widthFolded.reserve(character.size());
    forEachCodePoint(character, [&widthFolded](char32_t cp) {
        const auto tag = QChar::decompositionTag(cp);
        if (tag == QChar::Wide || tag == QChar::Narrow) {
            widthFolded.append(QChar::decomposition(cp));
        } else {
            appendCodePoint(widthFolded, cp);
        }
    });
    const QString decomposed = canonicalDecomposition(widthFolded);
    QString unmarked;
    unmarked.reserve(decomposed.size());
    bool expandsWhenFolded = false;
    forEachCodePoint(decomposed, [&](char32_t cp) {
        if (QChar::category(cp) != QChar::Mark_NonSpacing) {
            appendCodePoint(unmarked, cp);
        }
        expandsWhenFolded = expandsWhenFolded || cp == capitalSharpS;
    });
    if (expandsWhenFolded) {
        return character.toString();
    }
    QString folded = canonicalComposition(unmarked.toCaseFolded());
    if (characterCount(folded) == 1) {
        return folded;
    }
    return character.toString();
}

bool isLetterOrNumber(QStringView character) {
    return QChar::isLetterOrNumber(firstCodePoint(character));
}

bool isWhitespace(QStringView character) {
    return QChar::isSpace(firstCodePoint(character));
}

char32_t CharacterKeys::insert(QStringView character) {
    const QString composed = canonicalComposition(character);
    if (isOneCodePoint(composed)) {
        return firstCodePoint(composed);
    }
    const auto key = static_cast<char32_t>(0x110000 + composed_.size());
    return composed_.try_emplace(std::u16string(asStd(composed)), key).first->second;
}

char32_t CharacterKeys::find(QStringView character) const {
    const QString composed = canonicalComposition(character);
    if (isOneCodePoint(composed)) {
        return firstCodePoint(composed);
    }
    const auto it = composed_.find(asStd(composed));
    return it == composed_.end() ? noKey : it->second;
}

CharacterFolder::Folded CharacterFolder::foldAndRemember(QStringView character) {
    if (const auto it = folds_.find(asStd(character)); it != folds_.end()) {
        return it->second;
    }
    const QString folded = foldCharacter(character);
    const Folded result{keys_.insert(folded), isLetterOrNumber(folded)};
    folds_.emplace(std::u16string(asStd(character)), result);
    return result;
}

void CharacterFolder::appendFolded(QStringView text, FoldedKeys& out) {
    forEachCharacter(text, [this, &out](QStringView character) {
        if (isSingleAscii(character)) {
            const char16_t c = character[0].unicode();
            out.keys.push_back(asciiFold(c));
            out.letterOrNumber.push_back(asciiLetterOrNumber(c) ? 1 : 0);
            return;
        }
        const Folded folded = foldAndRemember(character);
        out.keys.push_back(folded.key);
        out.letterOrNumber.push_back(folded.letterOrNumber ? 1 : 0);
    });
}

char32_t CharacterFolder::characterKey(QStringView character) const {
    if (isSingleAscii(character)) {
        return asciiFold(character[0].unicode());
    }
    if (const auto it = folds_.find(asStd(character)); it != folds_.end()) {
        return it->second.key;
    }
    return keys_.find(foldCharacter(character));
}

}  // namespace pellucine::SearchText
