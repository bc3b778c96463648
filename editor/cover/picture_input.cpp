// Reading new pictures from files, drops and the clipboard; export file names.
#include "editor/cover/picture_input.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <span>

#include "editor/cover/picture_decode.h"
#include "id3v2/pictures.h"

namespace {

TIncomingPicture Checked(QByteArray bytes, const QString& what) {
    if (bytes.size() > kMaxShownPictureBytes) {
        return {{},
                QStringLiteral("%1 is larger than %2 and is not added.")
                    .arg(what, ByteCountText(kMaxShownPictureBytes))};
    }
    if (MimeTypeOf(bytes).isEmpty()) {
        return {{}, QStringLiteral("%1 is not a JPEG, PNG, GIF, WebP or BMP image.").arg(what)};
    }
    return {std::move(bytes), {}};
}

}  // namespace

QString MimeTypeOf(const QByteArray& bytes) {
    const std::span<const uint8_t> view(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                        static_cast<size_t>(bytes.size()));
    const std::string_view mime = id3v2::ImageMimeType(view);
    return QString::fromLatin1(mime.data(), static_cast<qsizetype>(mime.size()));
}

TIncomingPicture PictureFromFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {{}, QStringLiteral("Cannot read %1: %2").arg(name, file.errorString())};
    }
    // Checked before reading, so that a huge file is never loaded.
    if (file.size() > kMaxShownPictureBytes) {
        return Checked(QByteArray(kMaxShownPictureBytes + 1, '\0'), name);
    }
    return Checked(file.readAll(), name);
}

TIncomingPicture PictureFromMime(const QMimeData& data) {
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            return PictureFromFile(url.toLocalFile());
        }
    }
    TIncomingPicture refused;
    for (const QString& format : data.formats()) {
        if (format.startsWith(QLatin1String("image/"))) {
            TIncomingPicture picture = Checked(data.data(format), QStringLiteral("The image"));
            if (picture.Failure.isEmpty()) {
                return picture;
            }
            refused = std::move(picture);
        }
    }
    if (data.hasImage()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        qvariant_cast<QImage>(data.imageData()).save(&buffer, "PNG");
        return Checked(png, QStringLiteral("The image"));
    }
    if (data.hasUrls()) {
        return {{}, QStringLiteral("Only pictures saved on this computer can be added.")};
    }
    return refused;
}

bool MayHoldPicture(const QMimeData& data) {
    if (data.hasImage()) {
        return true;
    }
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            return true;
        }
    }
    for (const QString& format : data.formats()) {
        if (format.startsWith(QLatin1String("image/"))) {
            return true;
        }
    }
    return false;
}

QString ExportFileName(const QString& artist, const QString& album, const QString& mimeType) {
    QString base = artist.trimmed();
    if (!album.trimmed().isEmpty()) {
        base += (base.isEmpty() ? QString() : QStringLiteral(" - ")) + album.trimmed();
    }
    // A slash would make a folder of the name; control characters and a
    // leading dot make files that are hard to see or type.
    for (QChar& c : base) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') ||
            c.category() == QChar::Other_Control) {
            c = QLatin1Char('_');
        }
    }
    while (base.startsWith(QLatin1Char('.'))) {
        base.remove(0, 1);
    }
    if (base.isEmpty()) {
        base = QStringLiteral("cover");
    }
    static const std::pair<const char*, const char*> kExtensions[] = {
        {"image/jpeg", "jpg"}, {"image/jpg", "jpg"},   {"image/png", "png"},
        {"image/gif", "gif"},  {"image/webp", "webp"}, {"image/bmp", "bmp"}};
    QString extension = QStringLiteral("bin");
    for (const auto& [mime, ext] : kExtensions) {
        if (mimeType.compare(QLatin1String(mime), Qt::CaseInsensitive) == 0) {
            extension = QLatin1String(ext);
        }
    }
    return base + QLatin1Char('.') + extension;
}
