// The cover pane: decoding pictures safely for showing, export file names, and
// the requests the pane signals for drops, pastes, the file dialogs and removal.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <functional>

#include "editor/cover/cover_pane.h"
#include "editor/cover/picture_decode.h"
#include "editor/cover/picture_input.h"
#include "tests/helpers/scripted_dialogs.h"

namespace {

QByteArray Encoded(QSize size, const char* format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray PngChunk(const QByteArray& chunk) {
    quint32 crc = 0xFFFFFFFF;
    for (char c : chunk) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
    }
    const auto bigEndian = [](quint32 value) {
        return QByteArray::fromHex(QByteArray::number(value, 16).rightJustified(8, '0'));
    };
    return bigEndian(static_cast<quint32>(chunk.size() - 4)) + chunk + bigEndian(~crc);
}

// A well-formed PNG start declaring width x height, then a few bytes of data.
QByteArray PngDeclaring(quint32 width, quint32 height) {
    QByteArray header("IHDR");
    for (quint32 value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.append(static_cast<char>(value >> shift));
        }
    }
    header.append(QByteArray::fromHex("0806000000"));  // 8-bit RGBA, no interlace
    return QByteArray::fromHex("89504E470D0A1A0A") + PngChunk(header) +
           PngChunk(QByteArray("IDAT") + QByteArray::fromHex("789c6300000001000100"));
}

}  // namespace

TEST(CoverDecode, ShowsAtTheBoxSizeAndRefusesWhatCannotBeDecodedSafely) {
    const QByteArray jpeg = Encoded({1200, 800}, "JPG");
    QByteArray sixteenMb = Encoded({64, 64}, "PNG");
    sixteenMb.resize(16 * 1024 * 1024, '\0');
    const struct {
        const char* name;
        QByteArray bytes;
        QSize box;
        QSize shown;  // empty: refused
        QSize full;
    } cases[] = {
        {"jpeg_shrunk_to_box", jpeg, {300, 300}, {300, 200}, {1200, 800}},
        {"small_png_not_enlarged", Encoded({100, 50}, "PNG"), {300, 300}, {100, 50}, {100, 50}},
        {"no_box_full_size", jpeg, {}, {1200, 800}, {1200, 800}},
        {"empty", {}, {300, 300}, {}, {}},
        {"truncated_jpeg_header", jpeg.left(60), {300, 300}, {}, {}},
        {"wrong_bytes", QByteArray(5000, 'x'), {300, 300}, {}, {}},
        {"png_declares_100000_square",
         PngDeclaring(100000, 100000),
         {300, 300},
         {},
         {100000, 100000}},
        {"sixteen_megabytes", sixteenMb, {300, 300}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TShownPicture shown = DecodeForShowing(c.bytes, c.box, QStringLiteral("image/png"));
        EXPECT_EQ(shown.Image.isNull() ? QSize() : shown.Image.size(), c.shown);
        if (c.full.isValid()) {
            EXPECT_EQ(shown.FullSize, c.full);
        }
        EXPECT_EQ(shown.Failure,
                  c.shown.isEmpty() ? CannotShowText(c.bytes.size(), "image/png") : QString());
    }
    EXPECT_EQ(CannotShowText(16, ""), "Cannot show this picture (16 bytes, unknown type)");
}

TEST(CoverExport, FileNameFromArtistAlbumAndMimeType) {
    EXPECT_EQ(ExportFileName("AC/DC", "Back in Black", "image/jpeg"), "AC_DC - Back in Black.jpg");
    EXPECT_EQ(ExportFileName("", " Album ", "image/png"), "Album.png");
    EXPECT_EQ(ExportFileName("..", "", "application/x-unknown"), "cover.bin");
}

TEST(CoverPane, SignalsWhatTheUserAsksForAndRefusesWhatIsNoPicture) {
    QTemporaryDir dir;
    const QByteArray png = Encoded({40, 30}, "PNG");
    const QByteArray jpeg = Encoded({2000, 20}, "JPG");
    const QString pngFile = dir.filePath("cover.png");
    const QString textFile = dir.filePath("notes.png");
    {
        QFile out(pngFile);
        out.open(QIODevice::WriteOnly);
        out.write(png);
        QFile text(textFile);
        text.open(QIODevice::WriteOnly);
        text.write("not a picture");
    }
    const auto mime = [](QList<QUrl> urls, const char* format, QByteArray bytes) {
        auto* data = new QMimeData;
        data->setUrls(urls);
        if (format != nullptr) {
            data->setData(format, bytes);
        }
        return data;
    };
    const auto drop = [](TCoverPane& pane, QMimeData* data) {
        // A drop goes to the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&pane, &enter);
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&pane, &event);
        delete data;
    };
    const auto click = [](TCoverPane& pane, const char* name) {
        pane.findChild<QPushButton*>(name)->click();
    };
    const struct {
        const char* name;
        std::function<void(TCoverPane&, ScriptedDialogs&)> act;
        QString signalled;
        int errors;
    } cases[] = {
        {"drop_local_image_file",
         [&](auto& pane, auto&) { drop(pane, mime({QUrl::fromLocalFile(pngFile)}, nullptr, {})); },
         QStringLiteral("added %1 3").arg(png.size()), 0},
        {"drop_browser_image_data",
         [&](auto& pane, auto&) {
             drop(pane, mime({QUrl("https://x.test/a.jpg")}, "image/jpeg", jpeg));
         },
         QStringLiteral("added %1 3").arg(jpeg.size()), 0},
        {"drop_file_that_is_no_image",
         [&](auto& pane, auto&) { drop(pane, mime({QUrl::fromLocalFile(textFile)}, nullptr, {})); },
         "", 1},
        {"ctrl_v_pastes_with_the_chosen_type",
         [&](auto& pane, auto&) {
             pane.template findChild<QComboBox*>("CoverNewType")->setCurrentIndex(4);
             QApplication::clipboard()->setMimeData(mime({}, "image/png", png));
             QTest::keyClick(&pane, Qt::Key_V, Qt::ControlModifier);
         },
         QStringLiteral("added %1 4").arg(png.size()), 0},
        {"add_from_file_dialog",
         [&](auto& pane, auto& dialogs) {
             dialogs.QueueFile(pngFile);
             click(pane, "CoverAdd");
         },
         QStringLiteral("added %1 3").arg(png.size()), 0},
        {"delete_removes_the_shown_picture",
         [&](auto& pane, auto&) {
             click(pane, "CoverNext");
             QTest::keyClick(&pane, Qt::Key_Delete);
         },
         "removed 2", 0},
        {"remove_all", [&](auto& pane, auto&) { click(pane, "CoverRemoveAll"); }, "removed all", 0},
        {"export_writes_the_shown_bytes",
         [&](auto& pane, auto& dialogs) {
             dialogs.QueueFile(dir.filePath("out.png"));
             click(pane, "CoverExport");
             EXPECT_EQ(dialogs.Texts(ScriptedDialogs::Kind::File).value(0),
                       dir.filePath("Artist - Album.png"));
         },
         "exported 1", 0},
        {"id3v1_record_takes_no_drop",
         [&](auto& pane, auto&) {
             pane.ShowId3v1();
             drop(pane, mime({QUrl::fromLocalFile(pngFile)}, nullptr, {}));
             EXPECT_FALSE(pane.template findChild<QPushButton*>("CoverAdd")->isVisible());
         },
         "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        TCoverPane pane(dialogs);
        pane.resize(320, 420);
        pane.show();
        pane.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&pane));
        pane.setFocus();
        QList<uint32_t> fetched;
        std::vector<TPictureInfo> infos(2);
        infos[0] = {true, 0, "image/png", 3, "", static_cast<size_t>(png.size())};
        infos[1] = {true, 0, "image/jpeg", 4, "back", static_cast<size_t>(jpeg.size())};
        pane.ShowRow({infos,
                      [&](uint32_t n) {
                          fetched << n;
                          const QByteArray& b = n == 1 ? png : jpeg;
                          return std::vector<uint8_t>(b.begin(), b.end());
                      },
                      "Artist", "Album", dir.path()});
        EXPECT_EQ(fetched, QList<uint32_t>{1});  // only the picture shown
        QStringList signalled;
        QObject::connect(&pane, &TCoverPane::PictureAdded, [&](const QByteArray& b, int type) {
            signalled << QStringLiteral("added %1 %2").arg(b.size()).arg(type);
        });
        QObject::connect(&pane, &TCoverPane::PictureRemoved,
                         [&](int n) { signalled << QStringLiteral("removed %1").arg(n); });
        QObject::connect(&pane, &TCoverPane::AllPicturesRemoved,
                         [&] { signalled << QStringLiteral("removed all"); });
        QObject::connect(&pane, &TCoverPane::PictureExported, [&](int n, const QString& path) {
            signalled << QStringLiteral("exported %1").arg(n);
            QFile written(path);
            EXPECT_TRUE(written.open(QIODevice::ReadOnly));
            EXPECT_EQ(written.readAll(), png);
        });
        c.act(pane, dialogs);
        EXPECT_EQ(signalled.join(','), c.signalled);
        EXPECT_EQ(dialogs.Errors().size(), c.errors);
    }
}
