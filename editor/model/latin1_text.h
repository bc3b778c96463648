// ISO-8859-1 text, as ID3v1 records and the genre table hold it.
#pragma once

#include <QString>
#include <string>

namespace latin1_text {

// Every character of the text has a Latin-1 byte.
inline bool IsLatin1(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            return false;
        }
    }
    return true;
}

// ISO-8859-1 bytes as text.
inline QString FromTag(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace latin1_text
