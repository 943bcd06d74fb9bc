#include "placement/title_prefix.h"

#include <unicode/normalizer2.h>

#include "placement/grapheme_clusters.h"

namespace tallowin {

namespace {

// Two characters are canonically equivalent exactly when their NFD forms match.
bool canonicallyEqual(const icu::UnicodeString& a, const icu::UnicodeString& b) {
    if (a == b) {
        return true;
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status) || nfd == nullptr) {
        return false;
    }
    const icu::UnicodeString da = nfd->normalize(a, status);
    const icu::UnicodeString db = nfd->normalize(b, status);
    return U_SUCCESS(status) && da == db;
}

}  // namespace

bool isTitlePrefix(std::string_view windowTitle, std::string_view entryTitle) {
    const auto window = graphemeClusters(windowTitle);
    if (window.empty()) {
        return true;
    }
    const auto entry = graphemeClusters(entryTitle);
    if (window.size() > entry.size()) {
        return false;
    }
    for (std::size_t i = 0; i < window.size(); ++i) {
        if (!canonicallyEqual(window[i], entry[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace tallowin
