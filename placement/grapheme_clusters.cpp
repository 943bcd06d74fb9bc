#include "placement/grapheme_clusters.h"

#include <memory>

#include <unicode/brkiter.h>
#include <unicode/locid.h>

namespace tallowin {

std::vector<icu::UnicodeString> graphemeClusters(std::string_view text) {
    const icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
    std::vector<icu::UnicodeString> clusters;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> breaks(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !breaks) {
        // Without break data every code point stands alone; still safe.
        for (std::int32_t i = 0; i < unicode.length(); i = unicode.moveIndex32(i, 1)) {
            clusters.emplace_back(unicode, i, unicode.moveIndex32(i, 1) - i);
        }
        return clusters;
    }
    breaks->setText(unicode);
    std::int32_t start = breaks->first();
    for (std::int32_t end = breaks->next(); end != icu::BreakIterator::DONE; start = end, end = breaks->next()) {
        clusters.emplace_back(unicode, start, end - start);
    }
    return clusters;
}

}  // namespace tallowin
