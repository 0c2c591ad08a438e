#include "panels/WindowSearch.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>
#include <vector>

#include "panels/SearchText.h"

namespace pellucine::WindowSearch {

namespace {

constexpr std::array<std::pair<Location, const char16_t*>, 5> locationNames{{
    {Location::onScreen, u"On Screen"},
    {Location::minimized, u"Minimized"},
    {Location::fullScreen, u"Full Screen"},
    {Location::hidden, u"Hidden"},
    {Location::otherSpace, u"Other Desktop"},
}};

using Keys = std::vector<char32_t>;

// Splits the query at whitespace characters (a character whose first code point has the
// whitespace property) and folds each piece to keys; empty pieces are dropped. The query is
// divided into characters as a whole: the boundary finder's answer can depend on the text
// around a piece, and a title typed in full must divide as the title does.
std::vector<Keys> queryTokens(QStringView query, const SearchText::CharacterFolder& folder) {
    std::vector<Keys> tokens;
    Keys piece;
    SearchText::forEachCharacter(query, [&](QStringView character) {
        if (!SearchText::isWhitespace(character)) {
            piece.push_back(folder.characterKey(character));
        } else if (!piece.empty()) {
            tokens.push_back(std::move(piece));
            piece.clear();
        }
    });
    if (!piece.empty()) {
        tokens.push_back(std::move(piece));
    }
    return tokens;
}

qint64 focusKey(const WindowDescriptor& window) {
    if (window.lastFocusedAt && window.lastFocusedAt->isValid()) {
        return window.lastFocusedAt->toMSecsSinceEpoch();
    }
    return std::numeric_limits<qint64>::min();
}

}  // namespace

QString rawValue(Location location) {
    for (const auto& [value, name] : locationNames) {
        if (value == location) {
            return QString::fromUtf16(name);
        }
    }
    return {};
}

std::optional<Location> locationFromRawValue(QStringView raw) {
    for (const auto& [value, name] : locationNames) {
        if (raw == QStringView(name)) {
            return value;
        }
    }
    return std::nullopt;
}

QString displayTitle(const WindowDescriptor& window) {
    return window.title.isEmpty() ? QStringLiteral("Untitled window") : window.title;
}

QString normalize(const QString& text) {
    struct Character {
        QStringView original;
        QString folded;
    };
    std::vector<Character> characters;
    SearchText::forEachCharacter(text, [&characters](QStringView character) {
        characters.push_back({character, SearchText::foldCharacter(character)});
    });
    // A fold that drops a mark can let a character join the next one (a regional indicator
    // with the next, a Hangul jamo with a vowel), which would change the count: such a character
    // stays as it was. Deciding from the end means the next character is already final.
    std::vector<QStringView> chosen(characters.size());
    for (std::size_t i = characters.size(); i-- > 0;) {
        const Character& c = characters[i];
        chosen[i] = c.folded;
        if (i + 1 == characters.size()) {
            continue;
        }
        const QStringView next = chosen[i + 1];
        const bool changed = c.folded != c.original || next != characters[i + 1].original;
        if (changed && SearchText::characterCount(QString(c.folded).append(next)) != 2) {
            chosen[i] = c.original;
        }
    }
    QString folded;
    folded.reserve(text.size());
    for (const QStringView character : chosen) {
        folded += character;
    }
    return folded;
}

std::optional<Match> match(const QString& token, const QString& text) {
    SearchText::CharacterKeys numbering;
    SearchText::FoldedKeys textKeys;
    SearchText::forEachCharacter(text, [&](QStringView character) {
        textKeys.keys.push_back(numbering.insert(character));
        textKeys.letterOrNumber.push_back(SearchText::isLetterOrNumber(character) ? 1 : 0);
    });
    Keys tokenKeys;
    SearchText::forEachCharacter(
        token, [&](QStringView character) { tokenKeys.push_back(numbering.insert(character)); });
    const auto found = SearchText::findToken(
        tokenKeys.data(), static_cast<qsizetype>(tokenKeys.size()), textKeys.keys.data(),
        textKeys.letterOrNumber.data(), static_cast<qsizetype>(textKeys.keys.size()));
    if (!found) {
        return std::nullopt;
    }
    const auto length = static_cast<qsizetype>(tokenKeys.size());
    return Match{{found->start, found->start + length}, found->bonus};
}

struct Index::Data {
    struct Entry {
        qsizetype titleStart = 0;
        qsizetype titleLength = 0;
        qsizetype applicationStart = 0;
        qsizetype applicationLength = 0;
        qint64 recency = 0;
        qint64 focus = 0;
        quint32 id = 0;
    };

    QList<Candidate> candidates;
    std::vector<Entry> entries;
    SearchText::FoldedKeys text;
    SearchText::CharacterFolder folder;
};

Index::Index() : Index(QList<Candidate>()) {}

Index::Index(QList<Candidate> candidates) {
    auto data = std::make_shared<Data>();
    data->entries.reserve(static_cast<std::size_t>(candidates.size()));
    // There are never more characters than UTF-16 units.
    std::size_t units = 0;
    for (const Candidate& candidate : candidates) {
        units += static_cast<std::size_t>(displayTitle(candidate.window).size() +
                                          candidate.window.applicationName.size());
    }
    data->text.keys.reserve(units);
    data->text.letterOrNumber.reserve(units);
    for (const Candidate& candidate : candidates) {
        Data::Entry entry;
        entry.titleStart = static_cast<qsizetype>(data->text.keys.size());
        data->folder.appendFolded(displayTitle(candidate.window), data->text);
        entry.applicationStart = static_cast<qsizetype>(data->text.keys.size());
        entry.titleLength = entry.applicationStart - entry.titleStart;
        data->folder.appendFolded(candidate.window.applicationName, data->text);
        entry.applicationLength =
            static_cast<qsizetype>(data->text.keys.size()) - entry.applicationStart;
        entry.recency = candidate.applicationRecency;
        entry.focus = focusKey(candidate.window);
        entry.id = candidate.window.id;
        data->entries.push_back(entry);
    }
    data->candidates = std::move(candidates);
    data_ = std::move(data);
}

const QList<Candidate>& Index::candidates() const {
    return data_->candidates;
}

QList<Result> Index::rank(QStringView query) const {
    const Data& d = *data_;
    const std::vector<Keys> tokens = queryTokens(query, d.folder);

    struct Hit {
        qint64 score;
        qint64 focus;
        quint32 id;
        qsizetype entry;
        std::size_t firstFound;
    };
    struct Found {
        qsizetype start;
        qsizetype end;
        bool inTitle;
    };
    std::vector<Hit> hits;
    hits.reserve(d.entries.size());
    std::vector<Found> found;

    const char32_t* keys = d.text.keys.data();
    const std::uint8_t* flags = d.text.letterOrNumber.data();
    for (qsizetype i = 0; i < static_cast<qsizetype>(d.entries.size()); ++i) {
        const Data::Entry& e = d.entries[static_cast<std::size_t>(i)];
        const std::size_t mark = found.size();
        qint64 score = 0;
        bool holdsEveryToken = true;
        for (const Keys& token : tokens) {
            const auto length = static_cast<qsizetype>(token.size());
            if (const auto m = SearchText::findToken(token.data(), length, keys + e.titleStart,
                                                     flags + e.titleStart, e.titleLength)) {
                found.push_back({m->start, m->start + length, true});
                score += titleMatchScore + m->bonus;
            } else if (const auto a =
                           SearchText::findToken(token.data(), length, keys + e.applicationStart,
                                                 flags + e.applicationStart, e.applicationLength)) {
                found.push_back({a->start, a->start + length, false});
                score += applicationMatchScore + a->bonus / 2;
            } else {
                holdsEveryToken = false;
                break;
            }
        }
        if (!holdsEveryToken) {
            found.resize(mark);
            continue;
        }
        hits.push_back({score - e.recency, e.focus, e.id, i, mark});
    }

    std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
        if (a.score != b.score) {
            return a.score > b.score;
        }
        if (a.focus != b.focus) {
            return a.focus > b.focus;
        }
        if (a.id != b.id) {
            return a.id < b.id;
        }
        return a.entry < b.entry;
    });

    QList<Result> results;
    results.reserve(static_cast<qsizetype>(hits.size()));
    for (const Hit& hit : hits) {
        Result& result = results.emplace_back(Result{d.candidates[hit.entry], {}, {}, hit.score});
        for (std::size_t t = 0; t < tokens.size(); ++t) {
            const Found& f = found[hit.firstFound + t];
            (f.inTitle ? result.titleMatches : result.applicationMatches)
                .append(CharacterRange{f.start, f.end});
        }
    }
    return results;
}

QList<Result> rank(const QString& query, const QList<Candidate>& candidates) {
    return Index(candidates).rank(query);
}

}  // namespace pellucine::WindowSearch
