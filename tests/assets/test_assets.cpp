// Checks the pictures and sounds shipped in data/. The clock loads every one
// of them by its exact name and fails a skin load on any missing or broken
// picture, so a generator slip shows up here rather than as an error box.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QString kData = QStringLiteral(MORVANTIS_DATA_DIR);

// A mark is drawn over the display panel and must let it show through.
enum class Kind { Opaque, Mark, Other };

struct Picture {
    QString file;
    QSize size;
    Kind kind;
};

std::vector<Picture> skinPictures() {
    std::vector<Picture> all = {
        {"base.gif", {575, 240}, Kind::Other},
        {"lcd.gif", {288, 134}, Kind::Opaque},
        {"alarmbutton.gif", {50, 23}, Kind::Other},
        {"alarmbuttonp.gif", {50, 23}, Kind::Other},
        {"alarmon.gif", {17, 17}, Kind::Other},
        {"alarmoff.gif", {17, 17}, Kind::Other},
        {"OptionButton.gif", {85, 22}, Kind::Other},
        {"OptionButtonp.gif", {85, 22}, Kind::Other},
        {"but.gif", {91, 12}, Kind::Other},
        {"butp.gif", {91, 12}, Kind::Other},
        {"am.gif", {19, 10}, Kind::Mark},
        {"pm.gif", {19, 10}, Kind::Mark},
        {"dot.gif", {10, 21}, Kind::Mark},
    };
    for (int d = 0; d <= 9; ++d) {
        all.push_back({QString::number(d) + ".gif", {33, 47}, Kind::Mark});
        all.push_back({QString::number(d) + "s.gif", {16, 22}, Kind::Mark});
    }
    for (const char* day : {"sun", "mon", "tue", "wed", "thu", "fri", "sat"})
        all.push_back({QString::fromLatin1(day) + ".gif", {49, 22}, Kind::Mark});
    return all;
}

QStringList skinFolders() {
    return QDir(kData + "/Skins").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QString skinPath(const QString& skin) {
    return kData + "/Skins/" + skin;
}

// Names as spelled on disk: a file that exists only under another letter case
// would still be found on Windows but not on Linux.
bool hasExactEntry(const QString& dir, const QString& name) {
    return QDir(dir).entryList(QDir::Files).contains(name, Qt::CaseSensitive);
}

QImage readPicture(const QString& path) {
    QImageReader reader(path);
    return reader.read();
}

double luminance(QColor c) {
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.red()) + 0.7152 * lin(c.green()) + 0.0722 * lin(c.blue());
}

QColor averageOver(const QImage& img, const QRect& area) {
    double r = 0, g = 0, b = 0;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            r += c.red(), g += c.green(), b += c.blue(), ++n;
        }
    return QColor(int(r / n), int(g / n), int(b / n));
}

struct InfoLine {
    bool ok = false;
    QColor colour;
    QString description;
    QString problem;
};

// First line: three 3-character decimal fields at positions 1, 5 and 9,
// blanks at 4, 8 and 12, the description from position 13.
InfoLine readInfo(const QString& skin) {
    InfoLine info;
    QFile f(skinPath(skin) + "/info.txt");
    if (!f.open(QIODevice::ReadOnly)) {
        info.problem = "cannot open info.txt";
        return info;
    }
    QString line = QString::fromUtf8(f.readLine());
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (line.size() < 13) {
        info.problem = "first line too short: \"" + line + "\"";
        return info;
    }
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        const QString field = line.mid(i * 4, 3);
        bool number = false;
        rgb[i] = field.trimmed().toInt(&number);
        if (!number || rgb[i] < 0 || rgb[i] > 255) {
            info.problem = "colour field " + QString::number(i + 1) + " is \"" + field + "\"";
            return info;
        }
    }
    for (int pos : {3, 7, 11})
        if (line.at(pos) != ' ') {
            info.problem = "no blank at position " + QString::number(pos + 1);
            return info;
        }
    info.colour = QColor(rgb[0], rgb[1], rgb[2]);
    info.description = line.mid(12).trimmed();
    info.ok = true;
    return info;
}

struct Wave {
    bool opened = false;
    int format = 0;
    int channels = 0;
    int rate = 0;
    sf_count_t frames = 0;
    std::vector<float> samples;

    double seconds() const { return rate > 0 ? double(frames) / rate : 0; }
    double peak(size_t from, size_t to) const {
        float m = 0;
        for (size_t i = from; i < std::min(to, samples.size()); ++i)
            m = std::max(m, std::fabs(samples[i]));
        return m;
    }
};

Wave readWave(const QString& path) {
    Wave w;
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return w;
    w.opened = true;
    w.format = info.format;
    w.channels = info.channels;
    w.rate = info.samplerate;
    w.frames = info.frames;
    w.samples.resize(size_t(info.frames) * size_t(std::max(1, info.channels)));
    sf_readf_float(file, w.samples.data(), info.frames);
    sf_close(file);
    return w;
}

} // namespace

TEST(ShippedSkins, TheFirstRunTakesTheDefaultSkin) {
    // A first run takes the chooser's second entry; the chooser lists folders by name without case.
    const QStringList skins =
        QDir(kData + "/Skins").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    ASSERT_GE(skins.size(), 2);
    EXPECT_EQ(skins[1], "Digital Age");
}

TEST(ShippedSkins, EveryPictureIsPresentDecodesAndHasItsSize) {
    for (const QString& skin : skinFolders()) {
        SCOPED_TRACE(skin.toStdString());
        for (const Picture& pic : skinPictures()) {
            SCOPED_TRACE(pic.file.toStdString());
            const QString path = skinPath(skin) + "/" + pic.file;
            ASSERT_TRUE(hasExactEntry(skinPath(skin), pic.file))
                << "missing, or spelt in another letter case";
            QImageReader reader(path);
            EXPECT_EQ(reader.format(), QByteArray("gif"));
            EXPECT_EQ(reader.size(), pic.size);
            const QImage img = reader.read();
            ASSERT_FALSE(img.isNull()) << reader.errorString().toStdString();
            EXPECT_EQ(img.size(), pic.size);
        }
    }
}

TEST(ShippedSkins, FolderHoldsOnlyThePicturesAndInfo) {
    QSet<QString> expected{"info.txt"};
    for (const Picture& pic : skinPictures())
        expected.insert(pic.file);
    ASSERT_EQ(expected.size(), 41);
    for (const QString& skin : skinFolders()) {
        SCOPED_TRACE(skin.toStdString());
        const QStringList entries =
            QDir(skinPath(skin)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        for (const QString& e : entries)
            EXPECT_TRUE(expected.contains(e)) << "unexpected file " << e.toStdString();
    }
}

TEST(ShippedSkins, MarksLetThePanelShowThroughAndThePanelIsSolid) {
    for (const QString& skin : skinFolders()) {
        SCOPED_TRACE(skin.toStdString());
        for (const Picture& pic : skinPictures()) {
            if (pic.kind == Kind::Other)
                continue;
            SCOPED_TRACE(pic.file.toStdString());
            const QImage img =
                readPicture(skinPath(skin) + "/" + pic.file).convertToFormat(QImage::Format_ARGB32);
            if (img.isNull()) {
                ADD_FAILURE() << "unreadable";
                continue;
            }
            int clear = 0;
            int solid = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    (qAlpha(img.pixel(x, y)) == 0 ? clear : solid)++;
            if (pic.kind == Kind::Mark) {
                EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << "a mark must be transparent around its shape";
                EXPECT_GT(clear, img.width() * img.height() / 3);
                EXPECT_GT(solid, 0) << "the mark draws nothing";
            } else {
                EXPECT_EQ(clear, 0) << "holes in the panel would show the case behind it";
            }
        }
    }
}

TEST(ShippedSkins, DigitsAndWeekdaysAreAllDifferent) {
    for (const QString& skin : skinFolders()) {
        SCOPED_TRACE(skin.toStdString());
        for (const QStringList& set :
             {QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
              QStringList{"0s", "1s", "2s", "3s", "4s", "5s", "6s", "7s", "8s", "9s"},
              QStringList{"sun", "mon", "tue", "wed", "thu", "fri", "sat"}, QStringList{"am", "pm"}}) {
            std::vector<QImage> imgs;
            for (const QString& name : set)
                imgs.push_back(
                    readPicture(skinPath(skin) + "/" + name + ".gif").convertToFormat(QImage::Format_ARGB32));
            for (size_t i = 0; i < imgs.size(); ++i)
                for (size_t j = i + 1; j < imgs.size(); ++j)
                    EXPECT_FALSE(imgs[i] == imgs[j]) << set[int(i)].toStdString() << " and "
                                                     << set[int(j)].toStdString() << " show the same picture";
        }
    }
}

TEST(ShippedSkins, InfoGivesAReadableCaptionColourAndADescription) {
    for (const QString& skin : skinFolders()) {
        SCOPED_TRACE(skin.toStdString());
        const InfoLine info = readInfo(skin);
        ASSERT_TRUE(info.ok) << info.problem.toStdString();
        EXPECT_FALSE(info.description.isEmpty());

        // The caption is drawn on the panel at 152,48 (273 x 17) of the window;
        // the panel starts at 142,41.
        const QImage lcd = readPicture(skinPath(skin) + "/lcd.gif").convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(lcd.isNull());
        const double a = luminance(info.colour);
        const double b = luminance(averageOver(lcd, QRect(10, 7, 273, 17)));
        const double contrast = (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
        EXPECT_GE(contrast, 4.5) << "caption colour is hard to read on the panel";
    }
}

TEST(ShippedSounds, EveryWordIsATrimmedLevelledMonoWave) {
    const QString dir = kData + "/wave";
    QStringList names{"time.WAV", "AM.WAV", "pm.WAV"};
    for (int n = 1; n <= 20; ++n)
        names << QString::number(n) + ".WAV";
    names << "30.WAV"
          << "40.WAV"
          << "50.WAV";
    ASSERT_EQ(names.size(), 26);

    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(hasExactEntry(dir, name)) << "missing, or spelt in another letter case";
        const Wave w = readWave(dir + "/" + name);
        ASSERT_TRUE(w.opened) << sf_strerror(nullptr);
        EXPECT_EQ(w.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << "not a 16-bit PCM WAV";
        EXPECT_EQ(w.channels, 1);
        EXPECT_GE(w.rate, 8000);
        EXPECT_LE(w.rate, 48000);
        ASSERT_GT(w.frames, 0);
        // One word: long enough to be heard, short enough that the time is said briskly.
        EXPECT_GT(w.seconds(), 0.1);
        EXPECT_LT(w.seconds(), 1.2);
        EXPECT_GT(w.peak(0, w.samples.size()), 0.5) << "too quiet";
        // Trimmed: speech begins and ends within 60 ms of the file's ends.
        const size_t edge = size_t(w.rate * 0.06);
        EXPECT_GT(w.peak(0, edge), 0.01) << "silence before the word";
        EXPECT_GT(w.peak(w.samples.size() - edge, w.samples.size()), 0.001) << "silence after the word";
    }
}

TEST(ShippedSounds, AlarmIsAChimeOfAboutTwoSeconds) {
    const Wave w = readWave(kData + "/alarm.wav");
    ASSERT_TRUE(w.opened) << sf_strerror(nullptr);
    EXPECT_EQ(w.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << "not a 16-bit PCM WAV";
    EXPECT_GE(w.seconds(), 1.5);
    EXPECT_LE(w.seconds(), 3.0);
    EXPECT_GT(w.peak(0, w.samples.size()), 0.5);
    // Struck at once, then dying away.
    const size_t tenth = size_t(w.rate * w.channels / 10);
    EXPECT_GT(w.peak(0, tenth), 0.1);
    EXPECT_LT(w.peak(w.samples.size() - tenth, w.samples.size()), w.peak(0, w.samples.size()) / 4);
}
