#include "Paint.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHash>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <cstdlib>

QImage canvas(QSize size) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage flattenAlpha(const QImage& image, const QColor& matte, double minAlpha) {
    QImage src = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(src.size(), QImage::Format_ARGB32);
    const int cut = int(std::lround(minAlpha * 255));
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const int a = qAlpha(in[x]);
            if (a < cut || a == 0) {
                o[x] = qRgba(0, 0, 0, 0);
                continue;
            }
            // Premultiplied source over an opaque matte.
            const int inv = 255 - a;
            o[x] = qRgba(qRed(in[x]) + (matte.red() * inv + 127) / 255,
                         qGreen(in[x]) + (matte.green() * inv + 127) / 255,
                         qBlue(in[x]) + (matte.blue() * inv + 127) / 255, 255);
        }
    }
    return out;
}

QImage blurred(const QImage& image, int radius, int passes) {
    QImage img = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = img.width();
    const int h = img.height();
    std::vector<int> acc(4 * std::max(w, h));
    auto pass = [&](bool horizontal) {
        const int lines = horizontal ? h : w;
        const int len = horizontal ? w : h;
        std::vector<QRgb> line(len);
        for (int l = 0; l < lines; ++l) {
            for (int i = 0; i < len; ++i)
                line[i] = horizontal ? reinterpret_cast<QRgb*>(img.scanLine(l))[i]
                                     : reinterpret_cast<QRgb*>(img.scanLine(i))[l];
            for (int i = 0; i < len; ++i) {
                int sum[4] = {0, 0, 0, 0};
                int n = 0;
                for (int k = i - radius; k <= i + radius; ++k) {
                    ++n;
                    if (k < 0 || k >= len)
                        continue;
                    sum[0] += qRed(line[k]), sum[1] += qGreen(line[k]);
                    sum[2] += qBlue(line[k]), sum[3] += qAlpha(line[k]);
                }
                const QRgb v = qRgba(sum[0] / n, sum[1] / n, sum[2] / n, sum[3] / n);
                if (horizontal)
                    reinterpret_cast<QRgb*>(img.scanLine(l))[i] = v;
                else
                    reinterpret_cast<QRgb*>(img.scanLine(i))[l] = v;
            }
        }
    };
    for (int i = 0; i < passes; ++i) {
        pass(true);
        pass(false);
    }
    return img;
}

QColor averageColour(const QImage& image, const QRect& area) {
    double r = 0, g = 0, b = 0;
    int n = 0;
    const QRect a = area.intersected(image.rect());
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            r += qRed(c), g += qGreen(c), b += qBlue(c), ++n;
        }
    if (n == 0)
        return Qt::black;
    return QColor(int(std::lround(r / n)), int(std::lround(g / n)), int(std::lround(b / n)));
}

QColor mix(const QColor& a, const QColor& b, double t) {
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()),
                  m(a.alpha(), b.alpha()));
}

QColor withAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

QFont fontOf(Face face, double pixelSize, double letterSpacing) {
    static QHash<int, QString> families;
    const int key = int(face);
    if (!families.contains(key)) {
        const char* file = nullptr;
        switch (face) {
        case Face::Sans:
            file = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
            break;
        case Face::SansBold:
            file = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
            break;
        case Face::Gothic:
            file = "/usr/share/fonts/opentype/urw-base35/URWGothic-Book.otf";
            break;
        case Face::GothicDemi:
            file = "/usr/share/fonts/opentype/urw-base35/URWGothic-Demi.otf";
            break;
        }
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        if (id < 0) {
            std::fprintf(stderr, "morvantis-art: cannot load font %s\n", file);
            std::exit(1);
        }
        families.insert(key, QFontDatabase::applicationFontFamilies(id).value(0));
    }
    QFont f(families.value(key));
    f.setPixelSize(int(std::lround(pixelSize)));
    // Vertical hinting keeps small capitals crisp without uneven gaps between letters.
    f.setHintingPreference(QFont::PreferVerticalHinting);
    if (face == Face::SansBold || face == Face::GothicDemi)
        f.setWeight(face == Face::SansBold ? QFont::Bold : QFont::DemiBold);
    if (letterSpacing != 0.0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return f;
}

QRectF drawCentredText(QPainter& p, const QString& text, double centreX, double baselineY) {
    // Centre the ink, not the advance: letter spacing and side bearings would
    // otherwise pull the text off centre by a pixel or two.
    QPainterPath ink;
    ink.addText(QPointF(0, 0), p.font(), text);
    const QRectF b = ink.boundingRect();
    const double x = std::round(centreX - (b.left() + b.width() / 2));
    p.drawText(QPointF(x, baselineY), text);
    return b.translated(x, baselineY);
}

void savePng(const QImage& image, const QString& path) {
    saveImage(image, path, "PNG");
}

void saveImage(const QImage& image, const QString& path, const char* format) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, format)) {
        std::fprintf(stderr, "morvantis-art: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

namespace {
const char* glyphRows(QChar c) {
    switch (c.toLatin1()) {
    case 'A':
        return ".###."
               "#...#"
               "#...#"
               "#####"
               "#...#"
               "#...#"
               "#...#";
    case 'M':
        return "#...#"
               "##.##"
               "#.#.#"
               "#.#.#"
               "#...#"
               "#...#"
               "#...#";
    case 'P':
        return "####."
               "#...#"
               "#...#"
               "####."
               "#...."
               "#...."
               "#....";
    default:
        return nullptr;
    }
}
} // namespace

double pixelTextWidth(const QString& text, double pixel, double spacing) {
    return text.size() * 5 * pixel + (text.size() - 1) * spacing;
}

void drawPixelText(QPainter& p, const QString& text, QPointF topLeft, double pixel, double spacing) {
    double x = topLeft.x();
    for (QChar c : text) {
        if (const char* rows = glyphRows(c)) {
            for (int i = 0; i < 35; ++i)
                if (rows[i] == '#')
                    p.fillRect(QRectF(x + (i % 5) * pixel, topLeft.y() + (i / 5) * pixel, pixel, pixel),
                               p.brush());
        }
        x += 5 * pixel + spacing;
    }
}
