// Where new pictures come from (a file, a drop, the clipboard) and where an
// exported one goes: the plain logic of the cover pane, free of its widgets.
#pragma once

#include <QByteArray>
#include <QString>

class QMimeData;

struct TIncomingPicture {
    QByteArray Bytes;  // an image of a kind the tag library knows, or empty
    QString Failure;   // why nothing was taken, for an error box; "" if nothing was offered
};

// The bytes of an image file, refused when too large or of no known kind.
TIncomingPicture PictureFromFile(const QString& path);
// A drop or the clipboard: a local image file, else image data as it was
// offered (image/png, image/jpeg, ... kept byte for byte), else a bitmap
// turned into PNG.
TIncomingPicture PictureFromMime(const QMimeData& data);
// Whether a drag may carry a picture (a local file or image data).
bool MayHoldPicture(const QMimeData& data);

// The MIME type the tag library gives bytes ("image/jpeg"), or "".
QString MimeTypeOf(const QByteArray& bytes);
// "Artist - Album.jpg" for exporting a picture: the extension from the MIME
// type ("bin" for one of no known kind), characters that cannot stand in a
// file name replaced.
QString ExportFileName(const QString& artist, const QString& album, const QString& mimeType);
