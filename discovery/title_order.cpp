#include "discovery/title_order.h"

#include <algorithm>

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
    // ASCII lowercases byte by byte and is already composed: most titles
    // never need the round trip through UTF-16.
    if (std::all_of(title.begin(), title.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string key(title);
        for (char& c : key) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        return key;
    }
    icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(title.data(), static_cast<std::int32_t>(title.size())));
    text.toLower(icu::Locale::getRoot());
    UErrorCode status = U_ZERO_ERROR;
    std::string key;
    key.reserve(title.size());
    // Text already in composed form (nearly all of it) is taken as it is.
    if (nfc().isNormalized(text, status) || U_FAILURE(status)) {
        text.toUTF8String(key);
        return key;
    }
    status = U_ZERO_ERROR;
    const icu::UnicodeString composed = nfc().normalize(text, status);
    (U_SUCCESS(status) ? composed : text).toUTF8String(key);
    return key;
}

}  // namespace tallowin
