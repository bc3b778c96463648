// Showing a cover: a 3000 x 3000 JPEG decoded at the size of the cover pane
// against the same picture decoded at full size.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "editor/cover/picture_decode.h"

namespace {

// A photograph-like picture: smooth shading with edges and some grain, about
// what a scanned cover holds (a pattern of pure noise would measure only the
// entropy decoding, which no scaling avoids).
const QByteArray& LargeJpeg() {
    static const QByteArray bytes = [] {
        QImage image(3000, 3000, QImage::Format_RGB32);
        uint32_t grain = 12345;
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                grain = grain * 1103515245u + 12345u;
                const int noise = static_cast<int>((grain >> 16) & 15);
                const int ring = ((x - 1500) * (x - 1500) + (y - 1200) * (y - 1200)) / 40000;
                line[x] = qRgb((x / 12 + noise) & 255, (y / 12 + ring * 9) & 255,
                               ((x + y) / 24 + noise) & 255);
            }
        }
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 90);
        return jpeg;
    }();
    return bytes;
}

void DecodeAt(benchmark::State& state, QSize box) {
    const QByteArray& jpeg = LargeJpeg();
    for (auto _ : state) {
        TShownPicture shown = DecodeForShowing(jpeg, box, QStringLiteral("image/jpeg"));
        benchmark::DoNotOptimize(shown.Image.constBits());
    }
    state.counters["jpeg_bytes"] = static_cast<double>(jpeg.size());
}

// The pane shows its picture in about 300 x 300 pixels.
void BM_CoverScaledToPane(benchmark::State& state) {
    DecodeAt(state, {300, 300});
}
void BM_CoverFullSize(benchmark::State& state) {
    DecodeAt(state, {});
}
BENCHMARK(BM_CoverScaledToPane)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoverFullSize)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
