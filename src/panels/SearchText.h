#pragma once

#include <QString>
#include <QStringView>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "panels/GraphemeBoundaries.h"

namespace pellucine {

// Text handling of window search: user-perceived characters (grapheme clusters), folding one
// character at a time, and numbering folded characters so that matching compares integers.
namespace SearchText {

// Calls visit(QStringView character) for each user-perceived character (extended grapheme
// cluster) of text, in order. A lone surrogate is a character of its own.
template <class Visit>
void forEachCharacter(QStringView text, Visit&& visit) {
    bool ascii = true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    const qsizetype n = text.size();
    if (ascii) {
        // Every ASCII character stands alone, except that CR LF is one character.
        for (qsizetype i = 0; i < n; ++i) {
            const bool crlf = text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n';
            visit(text.mid(i, crlf ? 2 : 1));
            if (crlf) {
                ++i;
            }
        }
        return;
    }
    GraphemeBoundaries boundaries;
    qsizetype start = 0;
    for (qsizetype i = 0; i < n;) {
        const char16_t unit = text[i].unicode();
        const bool pair = QChar::isHighSurrogate(unit) && i + 1 < n &&
                          QChar::isLowSurrogate(text[i + 1].unicode());
        const char32_t cp = pair ? QChar::surrogateToUcs4(unit, text[i + 1].unicode()) : unit;
        if (boundaries.breaksBefore(cp)) {
            visit(text.mid(start, i - start));
            start = i;
        }
        i += pair ? 2 : 1;
    }
    if (n > start) {
        visit(text.mid(start));
    }
}

qsizetype characterCount(QStringView text);

// Canonical decomposition (NFD) and composition (NFC). Marks are put in canonical order by a
// stable sort, so that a character carrying thousands of marks costs n log n, not n².
QString canonicalDecomposition(QStringView text);
QString canonicalComposition(QStringView text);

// Folds one user-perceived character, without locale:
// - full-width and half-width forms become their ordinary forms ("Ａ" → "a", "ｶﾞ" → "カ");
// - after canonical decomposition every nonspacing mark is removed ("é" and "e" + U+0301 → "e",
//   "İ" → "i"), and the rest is case folded (simple folding) and recomposed;
// - when the result is not exactly one character the character stays as it was: a lone mark
//   (which would vanish), and "ẞ", whose full case folding is "ss". Ligatures such as "ﬁ" and
//   "ß" fold to themselves.
// Emoji with skin tones, joiners, keycaps and flags are one character each and fold to
// themselves, except that variation selectors inside them are removed ("❤️" → "❤"), being
// nonspacing marks. Character i of a folded text always stands for character i of the original.
QString foldCharacter(QStringView character);

// Whether the character's first code point is a letter or a number.
bool isLetterOrNumber(QStringView character);

// Whether the character's first code point has the Unicode whitespace property.
bool isWhitespace(QStringView character);

// Hashes UTF-16 text held as std::u16string or looked up as std::u16string_view.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view s) const {
        return std::hash<std::u16string_view>{}(s);
    }
};

// Numbers characters: canonically equivalent characters get the same number. A character of one
// code point (after canonical composition) is numbered by that code point, longer ones from
// 0x110000 up in order of first sight.
class CharacterKeys {
  public:
    static constexpr char32_t noKey = 0xFFFFFFFF;

    char32_t insert(QStringView character);
    // noKey for a character of several code points that was never inserted.
    char32_t find(QStringView character) const;

  private:
    std::unordered_map<std::u16string, char32_t, TextHash, std::equal_to<>> composed_;
};

// The folded characters of a text as keys, with a flag per character telling whether it is a
// letter or a number.
struct FoldedKeys {
    std::vector<char32_t> keys;
    std::vector<std::uint8_t> letterOrNumber;
};

// Folds and numbers texts, remembering the fold of every non-ASCII character it has seen.
class CharacterFolder {
  public:
    void appendFolded(QStringView text, FoldedKeys& out);
    // The key of one character of a query; a character that no appended text had gets noKey.
    char32_t characterKey(QStringView character) const;

  private:
    struct Folded {
        char32_t key;
        bool letterOrNumber;
    };
    Folded foldAndRemember(QStringView character);

    CharacterKeys keys_;
    std::unordered_map<std::u16string, Folded, TextHash, std::equal_to<>> folds_;
};

struct KeyMatch {
    qsizetype start = 0;
    int bonus = 0;
};

inline constexpr int startBonus = 60;
inline constexpr int wordStartBonus = 30;

// The occurrence of the token in the text with the largest bonus (60 at the start, 30 after a
// character that is neither letter nor number, else 0), the earliest among equals.
inline std::optional<KeyMatch> findToken(const char32_t* token, qsizetype tokenLength,
                                         const char32_t* text, const std::uint8_t* letterOrNumber,
                                         qsizetype textLength) {
    if (tokenLength == 0 || tokenLength > textLength) {
        return std::nullopt;
    }
    std::optional<KeyMatch> best;
    const char32_t first = token[0];
    const char32_t* const lastStart = text + (textLength - tokenLength);
    for (const char32_t* at = std::find(text, lastStart + 1, first); at <= lastStart;
         at = std::find(at + 1, lastStart + 1, first)) {
        if (!std::equal(token + 1, token + tokenLength, at + 1)) {
            continue;
        }
        const qsizetype p = at - text;
        const int bonus = p == 0 ? startBonus : (letterOrNumber[p - 1] ? 0 : wordStartBonus);
        if (!best || bonus > best->bonus) {
            best = KeyMatch{p, bonus};
        }
        // Only the start earns more than a word start, so nothing later can beat this one.
        if (bonus >= wordStartBonus) {
            break;
        }
    }
    return best;
}

}  // namespace SearchText

}  // namespace pellucine
