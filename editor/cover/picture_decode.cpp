// Decoding of attached pictures for the cover pane, with QImageReader.
#include "editor/cover/picture_decode.h"

#include "editor/model/counted.h"

#include <QBuffer>
#include <QImageReader>
#include <QLocale>

QString CannotShowText(qint64 bytes, const QString& mimeType) {
    const QString type = mimeType.isEmpty() ? QStringLiteral("unknown type") : mimeType;
    return QStringLiteral("Cannot show this picture (%1, %2)").arg(ByteCountText(bytes), type);
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
