// Decoding and encoding tag bytes in ISO-8859-1 or a legacy code page.
#include "editor/model/code_page.h"

#include <algorithm>

namespace code_page {

const QStringList& LegacyNames() {
    static const QStringList names{
        QStringLiteral("windows-1250"), QStringLiteral("windows-1251"),
        QStringLiteral("windows-1252"), QStringLiteral("windows-1253"),
        QStringLiteral("windows-1254"), QStringLiteral("windows-1257"),
        QStringLiteral("KOI8-R"),       QStringLiteral("KOI8-U"),
        QStringLiteral("ISO-8859-2"),   QStringLiteral("ISO-8859-5"),
        QStringLiteral("ISO-8859-7"),   QStringLiteral("Shift_JIS"),
        QStringLiteral("EUC-KR"),       QStringLiteral("GBK"),
        QStringLiteral("Big5"),
    };
    return names;
}

TCodePage::TCodePage(const QString& name) {
    Open(name);
}

TCodePage& TCodePage::operator=(const TCodePage& other) {
    if (this != &other) {
        Open(other.name_);
    }
    return *this;
}

void TCodePage::Open(const QString& name) {
    name_.clear();
    decoder_ = QStringDecoder();
    encoder_ = QStringEncoder();
    if (name.isEmpty()) {
        return;
    }
    decoder_ = QStringDecoder(name.toLatin1().constData(), QStringConverter::Flag::Stateless);
    encoder_ = QStringEncoder(name.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (decoder_.isValid() && encoder_.isValid()) {
        name_ = name;
    }
}

bool TCodePage::ReadsDifferently(std::string_view bytes) const {
    return !IsLatin1() &&
           std::ranges::any_of(bytes, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

QString TCodePage::Decode(std::string_view bytes) const {
    if (!ReadsDifferently(bytes)) {
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    decoder_.resetState();
    return decoder_.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::optional<std::string> TCodePage::Encode(const QString& text) const {
    // A zero byte would end the text in a record: no page holds U+0000.
    const auto unheld = [this](QChar c) {
        return c.unicode() == 0 || (IsLatin1() && c.unicode() > 0xFF);
    };
    if (std::ranges::any_of(text, unheld)) {
        return std::nullopt;
    }
    if (IsLatin1()) {
        return text.toLatin1().toStdString();
    }
    encoder_.resetState();
    const QByteArray bytes = encoder_.encode(text);
    if (encoder_.hasError()) {
        return std::nullopt;
    }
    return bytes.toStdString();
}

bool TCodePage::Holds(QChar c) const {
    return Encode(QString(c)).has_value();
}

std::string TCodePage::EncodablePart(const QString& text) const {
    if (const std::optional<std::string> whole = Encode(text)) {
        return *whole;
    }
    QString part;
    for (const QChar c : text) {
        if (Holds(c)) {
            part += c;
        }
    }
    return Encode(part).value_or(std::string());
}

}  // namespace code_page
