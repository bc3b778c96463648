// The code page that ID3v1 records and Latin-1 ID3v2 frames are read with, and
// that ID3v1 records may be written with: ISO-8859-1, or a legacy code page of
// the collections written on Windows and older systems.
#pragma once

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>

namespace code_page {

// The legacy code pages offered, by the names the string decoder knows them by.
const QStringList& LegacyNames();

class TCodePage {
  public:
    // An empty name, or one the decoder does not know, is ISO-8859-1.
    explicit TCodePage(const QString& name = {});
    TCodePage(const TCodePage& other) : TCodePage(other.name_) {}
    TCodePage& operator=(const TCodePage& other);

    bool IsLatin1() const { return name_.isEmpty(); }
    // The code page's name; empty for ISO-8859-1.
    const QString& Name() const { return name_; }
    // True when bytes of this page could read otherwise in ISO-8859-1: only
    // bytes from 0x80 on differ between the pages offered.
    bool ReadsDifferently(std::string_view bytes) const;
    QString Decode(std::string_view bytes) const;
    // The text as bytes of this page; none when the page cannot hold all of it.
    std::optional<std::string> Encode(const QString& text) const;
    // The bytes of the characters the page can hold; the others are left out.
    std::string EncodablePart(const QString& text) const;
    bool Holds(QChar c) const;

  private:
    void Open(const QString& name);

    QString name_;
    mutable QStringDecoder decoder_;
    mutable QStringEncoder encoder_;
};

}  // namespace code_page
