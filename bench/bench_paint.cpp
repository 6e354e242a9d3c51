// The face's paint at device-pixel ratios 1, 1.5 and 2, with the default skin's pictures: a tick's
// repaint of the seconds' units, and the whole face (a skin switch, or a move to another screen).
#include "clock/FacePainter.h"
#include "platform/QtPictures.h"

#include <QPainter>
#include <benchmark/benchmark.h>

using namespace morvantis;

namespace {

PictureHandle picture(const char* name) {
    return std::make_shared<QtPicture>(
        QImage(QStringLiteral(MORVANTIS_SOURCE_DIR "/data/Skins/Digital Age/") + QLatin1String(name))
            .convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

FaceModel skinnedFace() {
    FaceModel face;
    face.setBackground(picture("base.gif"));
    face.setPicture(Element::imgLCD, picture("lcd.gif"));
    for (std::size_t i = 1; i < kElementCount; ++i)
        if (info(elementAt(i)).set != FaceSet::None)
            face.setPicture(elementAt(i),
                            picture(FacePainter::rectOf(elementAt(i)).height() > 40 ? "8.gif" : "8s.gif"));
    return face;
}

void paintLoop(benchmark::State& state, bool whole) {
    const qreal ratio = static_cast<qreal>(state.range(0)) / 100;
    const FaceModel face = skinnedFace();
    const QRect faceRect(0, 0, kFaceWidthTwips / 15, kFaceHeightTwips / 15);
    QImage device(qRound(faceRect.width() * ratio), qRound(faceRect.height() * ratio),
                  QImage::Format_ARGB32_Premultiplied);
    device.setDevicePixelRatio(ratio);
    const QRect dirty = whole ? faceRect : FacePainter::rectOf(Element::imgDS2_0);
    FacePainter painter;
    for (auto _ : state) {
        QPainter p(&device);
        p.setClipRect(dirty);
        painter.paint(p, face, dirty, ratio);
    }
}

void BM_PaintTick(benchmark::State& state) {
    paintLoop(state, false);
}
BENCHMARK(BM_PaintTick)->Arg(100)->Arg(150)->Arg(200);

void BM_PaintWhole(benchmark::State& state) {
    paintLoop(state, true);
}
BENCHMARK(BM_PaintWhole)->Arg(100)->Arg(150)->Arg(200);

} // namespace
