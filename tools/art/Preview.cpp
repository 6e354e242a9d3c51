// Composes the face from a finished skin folder, exactly as the clock lays it
// out, so the shipped GIFs themselves are what the preview shows.

#include "Geometry.h"
#include "Paint.h"
#include "SkinArt.h"

#include <QFile>
#include <QImageReader>

namespace {

struct Loader {
    QString dir;
    QString* error;
    bool ok = true;

    QImage operator()(const QString& name) {
        QImageReader reader(dir + QLatin1Char('/') + name);
        QImage img = reader.read();
        if (img.isNull() && ok) {
            ok = false;
            *error = name + QStringLiteral(": ") + reader.errorString();
        }
        return img;
    }
};

} // namespace

bool drawPreview(const QString& skinDir, const QString& outFile, QString* error) {
    Loader load{skinDir, error};
    QFile info(skinDir + QStringLiteral("/info.txt"));
    if (!info.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("info.txt missing");
        return false;
    }
    const QString line = QString::fromUtf8(info.readLine());
    const QColor caption(line.mid(0, 3).trimmed().toInt(), line.mid(4, 3).trimmed().toInt(),
                         line.mid(8, 3).trimmed().toInt());

    QImage face = canvas(geo::kWindow);
    QPainter p(&face);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    auto put = [&](QPoint at, QSize size, const QImage& img) { p.drawImage(QRect(at, size), img); };
    auto big = [&](int slot, int d) {
        put({geo::kBigDigitX[slot], geo::kBigDigitY}, geo::kBigDigitSize, load(QString::number(d) + ".gif"));
    };
    auto small = [&](int x, int d) {
        put({x, geo::kDateY}, geo::kSmallDigitSize, load(QString::number(d) + "s.gif"));
    };

    // Sunday 23 September 2001, 1:45:07 PM, alarm light on.
    p.drawImage(0, 0, load(QStringLiteral("base.gif")));
    put(geo::kLcd.topLeft(), geo::kLcd.size(), load(QStringLiteral("lcd.gif")));
    put(geo::kAlarmButtonPos, geo::kAlarmButtonSize, load(QStringLiteral("alarmbutton.gif")));
    put(geo::kLightPos, geo::kLightSize, load(QStringLiteral("alarmon.gif")));
    const QImage option = load(QStringLiteral("OptionButton.gif"));
    put(geo::kOptionsButton, geo::kOptionButtonSize, option);
    put(geo::kExitButton, geo::kOptionButtonSize, option);
    const QImage smallButton = load(QStringLiteral("but.gif"));
    for (QPoint b : {geo::kMonthButton, geo::kDateButton, geo::kYearButton})
        put(b, geo::kSmallButtonSize, smallButton);

    put(geo::kPm, geo::kMarkSize, load(QStringLiteral("pm.gif")));
    big(1, 1); // the hour tens stays blank
    put(geo::kColon1, geo::kColonSize, load(QStringLiteral("dot.gif")));
    big(2, 4);
    big(3, 5);
    put(geo::kColon2, geo::kColonSize, load(QStringLiteral("dot.gif")));
    big(4, 0);
    big(5, 7);
    small(geo::kMonthUnitsX, 9); // the month tens stays blank: the clock has no leading zero there
    small(geo::kDayTensTwoX, 2);
    small(geo::kDayUnitsX, 3);
    put({geo::kWeekdayX, geo::kDateY}, geo::kWeekdaySize, load(QStringLiteral("sun.gif")));
    small(geo::kYearX[0], 2);
    small(geo::kYearX[1], 0);
    small(geo::kYearX[2], 0);
    small(geo::kYearX[3], 1);

    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(fontOf(Face::Sans, 11));
    p.setPen(caption);
    p.drawText(geo::kCaption, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("alarm did not set"));
    p.end();

    if (!load.ok)
        return false;
    savePng(face, outFile);
    return true;
}
