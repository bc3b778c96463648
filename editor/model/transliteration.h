// Latin letters for text of other scripts, through ICU's transliterator, for
// the ID3v1 record, which holds ISO-8859-1 only.
#pragma once

#include <QString>

namespace transliteration {

// The text in plain Latin letters ("Кино" gives "Kino", "アルバム" gives
// "arubamu"); characters without a Latin form (emoji) stay as they are.
QString ToLatin(const QString& text);

}  // namespace transliteration
