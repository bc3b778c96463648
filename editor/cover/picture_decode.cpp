// Decoding of attached pictures for the cover pane, with QImageReader.
#include "editor/cover/picture_decode.h"

#include "editor/model/counted.h"

#include <QBuffer>
#include <QImageReader>
#include <QLocale>
#include <cstdint>
#include <cstdlib>

namespace {

QString PictureText(const QString& what, qint64 bytes, const QString& mimeType) {
    const QString type = mimeType.isEmpty() ? QStringLiteral("unknown type") : mimeType;
    return QStringLiteral("%1 (%2, %3)").arg(what, ByteCountText(bytes), type);
}

bool IsJpegRestart(uint8_t marker) {
    return marker >= 0xD0 && marker <= 0xD7;
}

// Walks the segments by their lengths, so that an end marker inside an
// embedded thumbnail does not count, and the coded data after each scan header
// up to the next marker. Whole when the end-of-image marker is reached.
bool JpegEndsWhole(const uint8_t* b, size_t n) {
    size_t pos = 2;
    while (pos + 1 < n) {
        const uint8_t marker = b[pos + 1];
        // Bytes between segments and fill bytes are skipped, as decoders do.
        if (b[pos] != 0xFF || marker == 0xFF || marker == 0x00) {
            ++pos;
            continue;
        }
        pos += 2;
        if (marker == 0xD9) {
            return true;
        }
        if (marker == 0x01 || IsJpegRestart(marker)) {
            continue;
        }
        if (n - pos < 2) {
            return false;
        }
        const size_t length = (size_t{b[pos]} << 8) | b[pos + 1];
        pos += length;
        if (marker == 0xDA) {
            // Coded data: FF 00 is a data byte, FF D0..D7 a restart, FF FF fill.
            while (pos + 1 < n && !(b[pos] == 0xFF && b[pos + 1] != 0x00 && b[pos + 1] != 0xFF &&
                                    !IsJpegRestart(b[pos + 1]))) {
                ++pos;
            }
        }
    }
    return false;
}

uint32_t Le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
}

// The pixel rows an uncompressed bitmap declares must all be there; for a
// compressed one the file size in its header is the measure.
bool BmpEndsWhole(const uint8_t* b, size_t n) {
    if (n < 34 || Le32(b + 14) < 40) {
        return true;  // an old core header: left to the decoder
    }
    const uint32_t compression = Le32(b + 30);
    if (compression != 0 && compression != 3 && compression != 6) {
        return Le32(b + 2) <= n;
    }
    const uint64_t width =
        static_cast<uint64_t>(std::abs(int64_t{static_cast<int32_t>(Le32(b + 18))}));
    const uint64_t height =
        static_cast<uint64_t>(std::abs(int64_t{static_cast<int32_t>(Le32(b + 22))}));
    const uint64_t stride = (width * (b[28] | (b[29] << 8)) + 31) / 32 * 4;
    const uint32_t offset = Le32(b + 10);
    return offset <= n && (stride == 0 || height <= (n - offset) / stride);
}

// Walks the blocks, extensions and images, each ending in an empty sub-block;
// whole when the trailer is reached.
bool GifEndsWhole(const uint8_t* b, size_t n) {
    const auto colourTable = [](uint8_t flags) {
        return (flags & 0x80) != 0 ? size_t{3} << ((flags & 7) + 1) : 0;
    };
    if (n < 13) {
        return false;
    }
    size_t pos = 13 + colourTable(b[10]);
    while (pos < n) {
        const uint8_t block = b[pos++];
        if (block == 0x3B) {
            return true;
        }
        if (block == 0x2C && n - pos >= 10) {
            // The image descriptor, its colour table and the LZW code size.
            pos += 10 + colourTable(b[pos + 8]);
        } else if (block == 0x21) {
            pos += 1;  // the extension's label
        } else {
            return false;
        }
        while (pos < n && b[pos] != 0) {
            pos += 1 + b[pos];
        }
        ++pos;
    }
    return false;
}

// Decoders fill what a cut-off JPEG, GIF or bitmap lacks and report success,
// so the bytes are checked for the end of the image themselves. (A cut-off
// PNG fails to decode.)
bool EndsWhole(const QByteArray& bytes) {
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.constData());
    const auto n = static_cast<size_t>(bytes.size());
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xD8) {
        return JpegEndsWhole(b, n);
    }
    if (bytes.startsWith("GIF8")) {
        return GifEndsWhole(b, n);
    }
    return !bytes.startsWith("BM") || BmpEndsWhole(b, n);
}

}  // namespace

QString CannotShowText(qint64 bytes, const QString& mimeType) {
    return PictureText(QStringLiteral("Cannot show this picture"), bytes, mimeType);
}

QString DamagedText(qint64 bytes, const QString& mimeType) {
    return PictureText(QStringLiteral("Damaged picture"), bytes, mimeType);
}

QString ByteCountText(qint64 bytes) {
    return Counted(bytes, QStringLiteral("byte"), QStringLiteral("bytes"));
}

TShownPicture DecodeForShowing(const QByteArray& bytes, QSize box, const QString& mimeType) {
    TShownPicture shown;
    if (bytes.isEmpty() || bytes.size() > kMaxShownPictureBytes) {
        shown.Failure = CannotShowText(bytes.size(), mimeType);
        return shown;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // The format is told from the bytes; a stored MIME type may be wrong.
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kShownPictureAllocationMb);
    reader.setAutoTransform(true);
    shown.FullSize = reader.size();
    const QSize full = shown.FullSize;
    if (full.isValid() &&
        static_cast<qint64>(full.width()) * full.height() > kMaxShownPicturePixels) {
        shown.Failure = CannotShowText(bytes.size(), mimeType);
        return shown;
    }
    const bool shrink = full.isValid() && box.isValid() &&
                        (full.width() > box.width() || full.height() > box.height());
    if (shrink) {
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    }
    if (!reader.read(&shown.Image)) {
        shown.Image = QImage();
        shown.Failure = CannotShowText(bytes.size(), mimeType);
        return shown;
    }
    if (!EndsWhole(bytes)) {
        // What did decode is partly made up: it is not shown as the picture.
        shown.Image = QImage();
        shown.Failure = DamagedText(bytes.size(), mimeType);
        return shown;
    }
    if (!full.isValid()) {
        // A format that declares no size up front is scaled after decoding.
        shown.FullSize = shown.Image.size();
        if (box.isValid() &&
            (shown.Image.width() > box.width() || shown.Image.height() > box.height())) {
            shown.Image = shown.Image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
    }
    return shown;
}
