// Window search over any UTF-16 text (lone surrogates, long runs of marks or flags included):
// folding keeps the number of characters, matches lie inside the text, and a window is always
// found by its own title.
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "panels/SearchText.h"
#include "panels/WindowSearch.h"

using namespace pellucine;

namespace {

QString takeText(FuzzedDataProvider& input, std::size_t maximumBytes) {
    const std::string bytes = input.ConsumeRandomLengthString(maximumBytes);
    return QString(reinterpret_cast<const QChar*>(bytes.data()),
                   static_cast<qsizetype>(bytes.size() / 2));
}

void checkRanges(const QList<WindowSearch::CharacterRange>& ranges, const QString& text) {
    const qsizetype count = SearchText::characterCount(text);
    for (const auto& range : ranges) {
        FUZZ_CHECK(0 <= range.start && range.start < range.end && range.end <= count);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const QString query = takeText(input, 256);
    QList<WindowSearch::Candidate> candidates;
    while (input.remaining_bytes() > 0 && candidates.size() < 8) {
        WindowSearch::Candidate candidate;
        candidate.window.id = static_cast<quint32>(candidates.size() + 1);
        candidate.window.title = takeText(input, 4096);
        candidate.window.applicationName = takeText(input, 4096);
        candidate.applicationRecency = input.ConsumeIntegralInRange<qint64>(-1000, 1000);
        candidates.append(candidate);
    }

    // The own canonical forms agree with Qt's, which are quadratic on long runs of marks.
    FUZZ_CHECK(SearchText::canonicalDecomposition(query) ==
               query.normalized(QString::NormalizationForm_D));
    FUZZ_CHECK(SearchText::canonicalComposition(query) ==
               query.normalized(QString::NormalizationForm_C));
    for (const QString& text : {query, candidates.value(0).window.title}) {
        FUZZ_CHECK(SearchText::characterCount(WindowSearch::normalize(text)) ==
                   SearchText::characterCount(text));
    }
    if (!candidates.isEmpty()) {
        const QString title = WindowSearch::normalize(candidates[0].window.title);
        const QString token = WindowSearch::normalize(query);
        if (const auto found = WindowSearch::match(token, title)) {
            checkRanges({found->range}, title);
            FUZZ_CHECK(found->range.end - found->range.start == SearchText::characterCount(token));
            FUZZ_CHECK(found->bonus == 0 || found->bonus == 30 || found->bonus == 60);
        }
    }

    const WindowSearch::Index index(candidates);
    const QList<WindowSearch::Result> results = index.rank(query);
    FUZZ_CHECK(results.size() <= candidates.size());
    for (const WindowSearch::Result& result : results) {
        checkRanges(result.titleMatches, WindowSearch::displayTitle(result.candidate.window));
        checkRanges(result.applicationMatches, result.candidate.window.applicationName);
    }
    for (const WindowSearch::Candidate& candidate : candidates) {
        const QString title = WindowSearch::displayTitle(candidate.window);
        const auto own = index.rank(title);
        FUZZ_CHECK(std::any_of(own.begin(), own.end(), [&](const WindowSearch::Result& r) {
            return r.candidate.window.id == candidate.window.id;
        }));
    }
    return 0;
}
