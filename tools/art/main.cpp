// morvantis-art: draws the clock's skins and window pictures.
//
//   morvantis-art draw <gif-source-dir> <repo>
//       PNG sources of every GIF go under <gif-source-dir>, mirroring their
//       place in the repository; info.txt files and the PNG window pictures go
//       straight into <repo>.
//   morvantis-art previews <repo>
//       Composes docs/previews/<skin>.png from the finished data/Skins folders.

#include "SkinArt.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

namespace {

int usage() {
    std::fprintf(stderr, "usage: morvantis-art draw <gif-source-dir> <repo>\n"
                         "       morvantis-art previews <repo>\n");
    return 2;
}

QString previewName(const QString& folder) {
    QString name = folder;
    name.remove(QLatin1Char(' '));
    return name;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("draw")) {
        const QString gifSource = args[2];
        const QString repo = args[3];
        for (const SkinStyle& s : allSkins())
            drawSkin(s, gifSource + "/data/Skins/" + s.folder, repo + "/data/Skins/" + s.folder);
        drawWindowArt(gifSource + "/resources/img", repo + "/resources/img");
        return 0;
    }
    if (args.size() == 3 && args[1] == QLatin1String("previews")) {
        const QString repo = args[2];
        int failures = 0;
        for (const SkinStyle& s : allSkins()) {
            QString error;
            const QString out = repo + "/docs/previews/" + previewName(s.folder) + ".png";
            if (!drawPreview(repo + "/data/Skins/" + s.folder, out, &error)) {
                std::fprintf(stderr, "morvantis-art: %s: %s\n", qPrintable(s.folder), qPrintable(error));
                ++failures;
            }
        }
        return failures == 0 ? 0 : 1;
    }
    return usage();
}
