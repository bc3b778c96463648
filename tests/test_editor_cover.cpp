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

}  // namespace

TEST(CoverDecode, ShowsAtTheBoxSizeAndRefusesWhatCannotBeDecodedSafely) {
    const QByteArray jpeg = Encoded({1200, 800}, "JPG");
    QByteArray sixteenMb = Encoded({64, 64}, "PNG");
    sixteenMb.resize(16 * 1024 * 1024, '\0');
    // A well-formed PNG start (header chunk with its checksum, 8-bit RGBA) declaring
    // 100000 x 100000 pixels, then a few bytes of data.
    const QByteArray hugePng = QByteArray::fromHex(
        "89504e470d0a1a0a0000000d49484452000186a0000186a00806000000a8520bc8"
        "0000000a49444154789c6300000001000100163d5a48");
    const QByteArray gif = QByteArray::fromHex(
        "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");
    const struct {
        const char* name;
        QByteArray bytes;
        QSize box;
        QSize shown;  // empty: refused
        QSize full;
        bool damaged = false;  // decodes, but the bytes end before the image does
    } cases[] = {
        {"jpeg_shrunk_to_box", jpeg, {300, 300}, {300, 200}, {1200, 800}},
        {"small_png_not_enlarged", Encoded({100, 50}, "PNG"), {300, 300}, {100, 50}, {100, 50}},
        {"no_box_full_size", jpeg, {}, {1200, 800}, {1200, 800}},
        {"empty", {}, {300, 300}, {}, {}},
        {"truncated_jpeg_header", jpeg.left(60), {300, 300}, {}, {}},
        {"wrong_bytes", QByteArray(5000, 'x'), {300, 300}, {}, {}},
        {"png_declares_100000_square", hugePng, {300, 300}, {}, {100000, 100000}},
        {"sixteen_megabytes", sixteenMb, {300, 300}, {}, {}},
        {"jpeg_cut_off", jpeg.chopped(300), {300, 300}, {}, {1200, 800}, true},
        {"bitmap_cut_off", Encoded({100, 50}, "BMP").chopped(100), {}, {}, {100, 50}, true},
        {"gif_without_its_end", gif.chopped(1), {}, {}, {1, 1}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TShownPicture shown = DecodeForShowing(c.bytes, c.box, QStringLiteral("image/png"));
        EXPECT_EQ(shown.Image.isNull() ? QSize() : shown.Image.size(), c.shown);
        if (c.full.isValid()) {
            EXPECT_EQ(shown.FullSize, c.full);
        }
        EXPECT_EQ(shown.Failure, c.damaged           ? DamagedText(c.bytes.size(), "image/png")
                                 : c.shown.isEmpty() ? CannotShowText(c.bytes.size(), "image/png")
                                                     : QString());
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
    const auto saved = [&](const char* name, const QByteArray& bytes) {
        QFile out(dir.filePath(name));
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        return QUrl::fromLocalFile(out.fileName());
    };
    const QUrl pngFile = saved("cover.png", png), textFile = saved("notes.png", "not a picture");
    const auto drop = [](TCoverPane& pane, QUrl url, const char* format = nullptr,
                         QByteArray bytes = {}) {
        QMimeData data;
        data.setUrls({url});
        if (format != nullptr) {
            data.setData(format, bytes);
        }
        // A drop goes to the widget that accepted the drag's entry.
        QDragEnterEvent enter({20, 20}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&pane, &enter);
        QDropEvent event({20, 20}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&pane, &event);
    };
    const auto click = [](TCoverPane& pane, const char* name) {
        pane.findChild<QPushButton*>(name)->click();
    };
    const QString addedPng = QStringLiteral("added %1 3").arg(png.size());
    const struct {
        const char* name;
        std::function<void(TCoverPane&, ScriptedDialogs&)> act;
        QString signalled;
        int errors = 0;
    } cases[] = {
        {"drop_local_image_file", [&](auto& pane, auto&) { drop(pane, pngFile); }, addedPng},
        {"drop_browser_image_data",
         [&](auto& pane, auto&) { drop(pane, QUrl("https://x.test/a.jpg"), "image/jpeg", jpeg); },
         QStringLiteral("added %1 3").arg(jpeg.size())},
        {"drop_file_that_is_no_image", [&](auto& pane, auto&) { drop(pane, textFile); }, "", 1},
        {"ctrl_v_pastes_with_the_chosen_type",
         [&](auto& pane, auto&) {
             pane.template findChild<QComboBox*>("CoverNewType")->setCurrentIndex(4);
             auto* data = new QMimeData;  // the clipboard takes it
             data->setData("image/png", png);
             QApplication::clipboard()->setMimeData(data);
             QTest::keyClick(&pane, Qt::Key_V, Qt::ControlModifier);
         },
         QStringLiteral("added %1 4").arg(png.size())},
        {"add_from_file_dialog",
         [&](auto& pane, auto& dialogs) {
             dialogs.QueueFile(pngFile.toLocalFile());
             click(pane, "CoverAdd");
         },
         addedPng},
        {"delete_removes_the_shown_picture",
         [&](auto& pane, auto&) {
             click(pane, "CoverNext");
             QTest::keyClick(&pane, Qt::Key_Delete);
         },
         "removed 2"},
        {"remove_all", [&](auto& pane, auto&) { click(pane, "CoverRemoveAll"); }, "removed all"},
        {"export_writes_the_shown_bytes",
         [&](auto& pane, auto& dialogs) {
             dialogs.QueueFile(dir.filePath("out.png"));
             click(pane, "CoverExport");
             EXPECT_EQ(dialogs.Texts(ScriptedDialogs::Kind::File).value(0),
                       dir.filePath("Artist - Album.png"));
         },
         "exported 1"},
        {"id3v1_record_takes_no_drop",
         [&](auto& pane, auto&) {
             pane.ShowId3v1();
             drop(pane, pngFile);
             EXPECT_FALSE(pane.template findChild<QPushButton*>("CoverAdd")->isVisible());
         },
         ""},
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
        const std::vector<TPictureInfo> infos{
            {true, 0, "image/png", 3, "", static_cast<size_t>(png.size())},
            {true, 0, "image/jpeg", 4, "back", static_cast<size_t>(jpeg.size())}};
        const auto fetch = [&](uint32_t n) {
            fetched << n;
            const QByteArray& b = n == 1 ? png : jpeg;
            return std::vector<uint8_t>(b.begin(), b.end());
        };
        pane.ShowRow({infos, fetch, "Artist", "Album", dir.path()});
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
