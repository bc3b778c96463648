// Decoding an attached picture for showing: at the size shown and under memory
// limits, so that a hostile or oversized image is refused instead of decoded.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <cstddef>

// Pictures with more bytes than this are not decoded; players refuse far
// smaller ones, and a tag can hold one of any size.
constexpr qsizetype kMaxShownPictureBytes = 10 * 1024 * 1024;
// Declared dimensions beyond this many pixels are not decoded: some decoders
// build the full image before scaling it, at four bytes a pixel.
constexpr qint64 kMaxShownPicturePixels = 25'000'000;
// Megabytes one decode may allocate (QImageReader's allocation limit).
constexpr int kShownPictureAllocationMb = 128;

struct TShownPicture {
    QImage Image;     // null when the picture cannot be shown
    QSize FullSize;   // the dimensions the image declares, when it declares them
    QString Failure;  // "Cannot show this picture ..." or "Damaged picture ...", or ""
};

// Decodes bytes to fit within box (kept in proportion, never enlarged); an
// empty box decodes at full size. A JPEG, GIF or bitmap cut off before its
// end gives no image but its FullSize. mimeType only names the picture in Failure.
TShownPicture DecodeForShowing(const QByteArray& bytes, QSize box, const QString& mimeType);

// "Cannot show this picture (12,345 bytes, image/png)".
QString CannotShowText(qint64 bytes, const QString& mimeType);
// "Damaged picture (12,345 bytes, image/jpeg)": the bytes end before the image does.
QString DamagedText(qint64 bytes, const QString& mimeType);
// "12,345 bytes" in the locale's digit grouping.
QString ByteCountText(qint64 bytes);
