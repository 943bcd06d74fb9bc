#include "discovery/title_order.h"

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace tallowin {

namespace {

const icu::Normalizer2& nfc() {
    static const icu::Normalizer2* const instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* normalizer = icu::Normalizer2::getNFCInstance(status);
        return U_SUCCESS(status) ? normalizer : nullptr;
    }();
    return *instance;
}

}  // namespace

std::string titleSortKey(std::string_view title) {
    icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(title.data(), static_cast<std::int32_t>(title.size())));
    text.toLower(icu::Locale::getRoot());
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString composed = nfc().normalize(text, status);
    std::string key;
    (U_SUCCESS(status) ? composed : text).toUTF8String(key);
    return key;
}

}  // namespace tallowin
