#include "info/frmAbout.h"
#include "Version.h"

#include "platform/QtTwips.h"
#include "platform/QtWindowSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

namespace morvantis {

namespace {

const QColor kBackground(0, 50, 101);

const char* const kUpdates =
    "Morvantis " MORVANTIS_VERSION "\n"
    "\n"
    "Updates: new versions come from the project's own source repository and, where Morvantis is "
    "packaged, from your distribution's packages. The program itself never looks for or downloads "
    "updates.\n"
    "\n";

const char* const kTerms =
    "Terms of use: Morvantis is free software under the MIT licence.\n"
    "\n"
    "Copyright (c) the Morvantis developers\n"
    "\n"
    "Permission is hereby granted, free of charge, to any person obtaining a copy of this software and "
    "associated documentation files (the \"Software\"), to deal in the Software without restriction, "
    "including without limitation the rights to use, copy, modify, merge, publish, distribute, "
    "sublicense, and/or sell copies of the Software, and to permit persons to whom the Software is "
    "furnished to do so, subject to the following conditions:\n"
    "\n"
    "The above copyright notice and this permission notice shall be included in all copies or "
    "substantial portions of the Software.\n"
    "\n"
    "THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED, INCLUDING "
    "BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR A PARTICULAR PURPOSE AND "
    "NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM, "
    "DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM, "
    "OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE SOFTWARE.\n";

// Where the skin guide and the README are: the guide lies in the data folder; the README is
// installed in the documents folder beside it (<prefix>/share/doc/morvantis).
QString places(const QString& dataFolder) {
    const QString folder = dataFolder.isEmpty() ? QStringLiteral(".") : dataFolder;
    QString text = QStringLiteral("Making your own skin: see %1.\n\n")
                       .arg(QDir::cleanPath(folder + QLatin1String("/docs/skins.html")));
    const QString readme = QDir::cleanPath(folder + QLatin1String("/../doc/morvantis/README.md"));
    if (QFileInfo::exists(readme))
        text += QStringLiteral("Using, adding skins and uninstalling: see %1.\n\n").arg(readme);
    return text;
}

// An icon read from a file anew is a new picture each time, and Qt caches what it draws of it
// under that picture's identity: every opening of the window would leave a few kilobytes
// behind in the cache. Built on the pixmap cache's own copy, the icon is the same every time.
QIcon sharedIcon(const QString& resource) {
    return QIcon(QPixmap(resource));
}

// A missing picture leaves the place empty.
QLabel* picture(QWidget* parent, const char* name, const QString& resource, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setPixmap(QPixmap(resource));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(geometry);
    return label;
}

QLabel* whiteText(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->setGeometry(geometry);
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget* parent, const QString& dataFolder)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    // The title bar stays empty; a screen reader names the window all the same.
    setAccessibleName(QStringLiteral("About Morvantis"));
    setWindowIcon(sharedIcon(QStringLiteral(":/img/icon32.png")));
    setFixedSize(twipsSize(5730, 4065));

    Image1 = picture(this, "Image1", QStringLiteral(":/img/about_logo.gif"), twipsRect(600, 240, 2175, 705));
    Image2 = picture(this, "Image2", QStringLiteral(":/img/icon32.png"), twipsRect(120, 290, 480, 480));
    Image3 = picture(this, "Image3", QStringLiteral(":/img/about_art.gif"), twipsRect(4020, 105, 1635, 1560));
    // One line of border and one of space: the picture sits 2 pixels inside the rectangle.
    Image3->setFrameStyle(QFrame::Box | QFrame::Plain);
    Image3->setLineWidth(1);
    Image3->setMargin(1);
    QPalette border = Image3->palette();
    border.setColor(QPalette::WindowText, Qt::white);
    Image3->setPalette(border);

    lblVersion = whiteText(this, "lblVersion", QStringLiteral("Version " MORVANTIS_VERSION),
                           twipsRect(2595, 1245, 1455, 255));
    lblEMail = whiteText(this, "lblEMail", QStringLiteral("E-mail: none published"),
                         twipsRect(120, 1800, 2640, 255));
    lblWebsite = whiteText(this, "lblWebsite", QStringLiteral("Website: none published"),
                           twipsRect(120, 2040, 2910, 255));

    txtProtext = new QPlainTextEdit(this);
    txtProtext->setObjectName(QStringLiteral("txtProtext"));
    txtProtext->setReadOnly(true);
    txtProtext->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtProtext->setPlainText(QString::fromUtf8(kUpdates) + places(dataFolder) + QString::fromUtf8(kTerms));
    txtProtext->setGeometry(twipsRect(120, 2520, 4575, 1455));

    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setIcon(sharedIcon(QStringLiteral(":/img/ok.png")));
    cmdOK->setIconSize(QSize(32, 32));
    cmdOK->setAccessibleName(QStringLiteral("OK")); // a picture, no caption to read
    cmdOK->setGeometry(twipsRect(4845, 3360, 660, 585));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    setTabOrder(cmdOK, txtProtext);
    cmdOK->setFocus();

    // Centred on the screen, not over the clock.
    centreOnScreen(*this, screen());
}

void frmAbout::cmdOK_Click() {
    accept();
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    // OK is also the cancel button: Escape presses it.
    if (event->matches(QKeySequence::Cancel)) {
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    // The etched rule between the addresses and the notice.
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(twipsPoint(90, 2325), twipsPoint(5654, 2325));
    painter.setPen(Qt::white);
    painter.drawLine(twipsPoint(105, 2340), twipsPoint(5654, 2340));
}

} // namespace morvantis
