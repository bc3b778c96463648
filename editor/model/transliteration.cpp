// Latin letters for text of other scripts, through ICU.
#include "editor/model/transliteration.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>
#include <unicode/utypes.h>

#include <memory>

namespace transliteration {
namespace {

// Built once: building the rule set costs far more than using it. Only the
// window's thread transliterates.
icu::Transliterator* Transliterator() {
    static const std::unique_ptr<icu::Transliterator> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> made(
            icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    return instance.get();
}

}  // namespace

QString ToLatin(const QString& text) {
    icu::Transliterator* transliterator = Transliterator();
    if (transliterator == nullptr) {
        return text;
    }
    icu::UnicodeString unicode(reinterpret_cast<const UChar*>(text.utf16()),
                               static_cast<int32_t>(text.size()));
    transliterator->transliterate(unicode);
    return QString(reinterpret_cast<const QChar*>(unicode.getBuffer()), unicode.length());
}

}  // namespace transliteration
