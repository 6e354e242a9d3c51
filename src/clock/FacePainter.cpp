#include "clock/FacePainter.h"

#include "alarm/AlarmRules.h"
#include "platform/QtPictures.h"

#include <QBitmap>
#include <QFontMetricsF>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace morvantis {

std::optional<Element> FacePainter::elementAt(const FaceModel& face, QPoint p) {
    for (std::size_t i = 0; i < kElementCount; ++i) {
        const Element e = morvantis::elementAt(i);
        if (face.isVisible(e) && rectOf(e).contains(p))
            return e;
    }
    return std::nullopt;
}

QRect FacePainter::dirtyRect(const FaceModel::Changes& changes) {
    QRect dirty;
    for (std::size_t i = 0; i < kElementCount; ++i)
        if (changes.test(i))
            dirty |= rectOf(morvantis::elementAt(i));
    return dirty;
}

std::optional<QRegion> FacePainter::shapeOf(const QImage& image, QSize window) {
    if (!image.hasAlphaChannel())
        return std::nullopt;
    bool transparent = false;
    for (int y = 0; y < image.height() && !transparent; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) == 0) {
                transparent = true;
                break;
            }
    }
    if (!transparent)
        return std::nullopt;
    // The mask QImage::createAlphaMask makes (set where alpha >= 128), in one plain pass: its
    // general conversion took most of the time the shape costs the start.
    QImage mask(image.size(), QImage::Format_MonoLSB);
    if (mask.isNull())
        return std::nullopt;
    mask.setColorTable({0xffffffff, 0xff000000});
    mask.fill(0);
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* bits = mask.scanLine(y);
        for (int x = 0; x < width; x += 8) {
            // Eight pixels to a byte, the first in the lowest bit; alpha >= 128 is the top bit set.
            unsigned byte = 0;
            for (int i = 0; i < std::min(8, width - x); ++i)
                byte |= (line[x + i] >> 31) << i;
            bits[x >> 3] = static_cast<uchar>(byte);
        }
    }
    QRegion shape(QBitmap::fromImage(mask));
    shape |= rectOf(Element::imgLCD);
    for (const FaceButton& button : kFaceButtons)
        shape |= rectOf(button.element);
    if (image.width() < window.width())
        shape |= QRegion(image.width(), 0, window.width() - image.width(), window.height());
    if (image.height() < window.height())
        shape |= QRegion(0, image.height(), window.width(), window.height() - image.height());
    return shape;
}

void FacePainter::paintMoved(QPainter& painter, const FaceModel& face, QRect window, QPoint offset,
                             bool seeThrough, qreal devicePixelRatio) {
    if (seeThrough) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(window, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    } else {
        painter.fillRect(window, Qt::black);
    }
    painter.translate(offset);
    paint(painter, face, window.translated(-offset), devicePixelRatio);
}

QRect FacePainter::rectOf(Element e) {
    const PixelRect r = pixelRect(e);
    return {r.x, r.y, r.width, r.height};
}

QRect FacePainter::deviceRect(const QRect& r, qreal ratio) {
    const auto at = [ratio](int v) { return qRound(v * ratio); };
    return QRect(QPoint(at(r.left()), at(r.top())),
                 QPoint(at(r.left() + r.width()) - 1, at(r.top() + r.height()) - 1));
}

namespace {

// One rule for every picture of the face, the background's too: a whole multiple stays crisp
// blocks of pixels, any other size is filtered.
Qt::TransformationMode modeOf(QSize from, QSize to, qreal ratio) {
    if (ratio == 1 || from.isEmpty() || (to.width() % from.width() == 0 && to.height() % from.height() == 0))
        return Qt::FastTransformation;
    return Qt::SmoothTransformation;
}

// For each device pixel along a length, the picture pixel whose device pixels hold it.
std::vector<int> sourceOf(int length, qreal ratio) {
    std::vector<int> source;
    for (int x = 0; x < length; ++x)
        source.resize(static_cast<std::size_t>(qRound((x + 1) * ratio)), x);
    return source;
}

// The background at a ratio other than 1. Filtering leaves its outline half see-through, which
// would blend with whatever the window held: each device pixel is opaque exactly where the
// window's shape, scaled by Qt, holds it (its picture pixel's alpha >= 128), else see-through.
QImage scaledBackground(const QImage& image, qreal ratio) {
    const QSize size = FacePainter::deviceRect(QRect(QPoint(), image.size()), ratio).size();
    QImage out = image.scaled(size, Qt::IgnoreAspectRatio, modeOf(image.size(), size, ratio))
                     .convertToFormat(QImage::Format_ARGB32);
    if (!image.hasAlphaChannel() || out.isNull())
        return out;
    const QImage alpha = image.convertToFormat(QImage::Format_ARGB32);
    const std::vector<int> columns = sourceOf(image.width(), ratio);
    const std::vector<int> rows = sourceOf(image.height(), ratio);
    for (int y = 0; y < out.height(); ++y) {
        const auto* in =
            reinterpret_cast<const QRgb*>(alpha.constScanLine(rows[static_cast<std::size_t>(y)]));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb source = in[columns[static_cast<std::size_t>(x)]];
            // An edge pixel filtering left mostly see-through takes its picture pixel's colour.
            line[x] = qAlpha(source) < 128 ? 0u : (qAlpha(line[x]) < 128 ? source : line[x]) | 0xff000000u;
        }
    }
    return out;
}

} // namespace

QFont FacePainter::captionFont() {
    static const QFont font = [] {
        // DejaVu Sans comes with every Debian desktop (fontconfig needs it). Light hinting keeps the
        // design advances at every scale: full hinting rounds each advance to whole pixels and makes
        // the caption some 5 % wider.
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setHintingPreference(QFont::PreferVerticalHinting);
        // The longest caption the alarm dialog can write; elsewhere, a narrower size until it fits.
        AlarmRecord longest;
        setDialHour(longest, {12, Meridiem::PM});
        longest.minute = longest.second = 59;
        longest.year = 2002;
        longest.month = Month::September;
        longest.weekday = Weekday::Wednesday;
        const QString text = QString::fromStdString(alarmCaption(longest, true));
        const qreal room = rectOf(Element::Label1).width();
        for (int pixels = 9; pixels >= 6; --pixels) {
            f.setPixelSize(pixels);
            if (QFontMetricsF(f).horizontalAdvance(text) <= room)
                break;
        }
        return f;
    }();
    return font;
}

const QPixmap& FacePainter::scaled(const QImage& image, QSize size, qreal ratio) {
    if (ratio != m_cacheRatio) {
        m_cache.clear();
        m_cacheRatio = ratio;
    }
    const Key key{image.cacheKey(), size.width(), size.height()};
    auto it = m_cache.find(key);
    if (it != m_cache.end())
        return it->second;
    // A bound for faces whose background stays while other pictures change.
    if (m_cache.size() > 256)
        m_cache.clear();
    // Drawn in device pixels, so of ratio 1 whatever the screen's.
    QPixmap pixmap =
        QPixmap::fromImage(image.scaled(size, Qt::IgnoreAspectRatio, modeOf(image.size(), size, ratio)));
    return m_cache.emplace(key, std::move(pixmap)).first->second;
}

void FacePainter::paint(QPainter& painter, const FaceModel& face, const QRect& dirty, qreal ratio) {
    // The pictures are placed in device pixels, every edge rounded by deviceRect: Qt scaling
    // the background and each element on its own rounded them apart.
    painter.save();
    if (ratio != 1)
        painter.scale(1 / ratio, 1 / ratio);
    if (const Picture* bg = face.background().get()) {
        const QImage& image = static_cast<const QtPicture*>(bg)->image();
        if (image.cacheKey() != m_backgroundImage) {
            m_backgroundImage = image.cacheKey();
            m_backgroundRatio = 0;
            // A new background means a new skin: the old one's pictures will not be drawn again.
            m_cache.clear();
        }
        if (ratio != m_backgroundRatio) {
            m_background = QPixmap::fromImage(ratio == 1 ? image : scaledBackground(image, ratio));
            m_backgroundRatio = ratio;
        }
        painter.drawPixmap(0, 0, m_background);
    }
    for (std::size_t i = kElementCount; i-- > 1;) {
        const Element e = morvantis::elementAt(i);
        if (!face.isVisible(e))
            continue;
        const Picture* picture = face.picture(e).get();
        if (!picture || picture->width() <= 0 || picture->height() <= 0)
            continue;
        const QRect r = rectOf(e);
        if (!r.intersects(dirty))
            continue;
        const QRect device = deviceRect(r, ratio);
        painter.drawPixmap(device.topLeft(),
                           scaled(static_cast<const QtPicture*>(picture)->image(), device.size(), ratio));
    }
    painter.restore();
    const QRect labelRect = rectOf(Element::Label1);
    if (labelRect.intersects(dirty) && !face.caption().empty()) {
        const std::uint32_t c = face.captionColor();
        painter.setFont(captionFont());
        painter.setPen(QColor(static_cast<int>(c >> 16 & 0xff), static_cast<int>(c >> 8 & 0xff),
                              static_cast<int>(c & 0xff)));
        painter.drawText(labelRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromStdString(face.caption()));
    }
}

void FacePainter::flush(QWidget& window, FaceModel& face) {
    const bool background = face.backgroundChanged();
    const FaceModel::Changes changes = face.takeChanges();
    if (background) {
        const auto* bg = static_cast<const QtPicture*>(face.background().get());
        if (const std::optional<QRegion> shape = bg ? shapeOf(bg->image(), window.size()) : std::nullopt)
            window.setMask(*shape);
        else
            window.clearMask();
        window.update();
        return;
    }
    if (!changes.none())
        window.update(dirtyRect(changes));
}

void FacePainter::paintWindow(QWidget& window, const FaceModel& face, const QRect& dirty, QPoint offset) {
    QPainter painter(&window);
    if (!offset.isNull()) {
        paintMoved(painter, face, window.rect(), offset, window.testAttribute(Qt::WA_TranslucentBackground),
                   window.devicePixelRatioF());
        return;
    }
    const Picture* bg = face.background().get();
    if (!bg || bg->width() < window.width() || bg->height() < window.height())
        painter.fillRect(dirty, Qt::black);
    paint(painter, face, dirty, window.devicePixelRatioF());
}

qreal FacePainter::reshape(QWidget& window) {
    // QWidget::setMask keeps an equal shape as it is; the window's own setMask scales it anew.
    if (QWindow* handle = window.windowHandle(); handle && !window.mask().isEmpty())
        handle->setMask(window.mask());
    return window.devicePixelRatioF();
}

} // namespace morvantis
