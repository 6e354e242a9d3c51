#include "info/URLLink.h"

#include "platform/Prompts.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QTextDocument>

#include <optional>
#include <string>

namespace morvantis {

namespace {

const QString kText = QStringLiteral("Text");
const QString kURL = QStringLiteral("URL");
const QString kShowToolTip = QStringLiteral("ShowToolTip");

// The designed face, else one of the same width, so the caption fits the room its window gives it.
QFont linkFont() {
    QFont font = QApplication::font();
    for (const char* family :
         {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans", "Nimbus Sans"}) {
        if (QFontDatabase::hasFamily(QLatin1String(family))) {
            font = QFont(QLatin1String(family));
            break;
        }
    }
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(true);
    return font;
}

QCursor handCursor() {
    const QPixmap hand(QStringLiteral(":/img/hand.png"));
    if (hand.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(hand, 13, 5);
}

// Tooltips take anything that looks like markup as rich text, which would render (and fetch
// images for) an address such as "<img src=...>"; show such an address literally instead.
QString literalToolTip(const QString& text) {
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

// Stored values come from a file the user may have edited: accept only what reads unambiguously.
std::optional<QString> storedText(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toString();
    default:
        return std::nullopt;
    }
}

std::optional<bool> storedFlag(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong() != 0;
    case QMetaType::Double:
        return value.toDouble() != 0.0;
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const QString s = value.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        bool ok = false;
        const long long n = s.toLongLong(&ok);
        if (ok)
            return n != 0;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// Absent and null values both mean "use the default".
const QVariant* stored(const QVariantMap& bag, const QString& key) {
    const auto it = bag.constFind(key);
    if (it == bag.constEnd() || !it->isValid())
        return nullptr;
    return &*it;
}

// The busy pointer for the length of the open call, however it ends.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace

URLLink::URLLink(Shell& shell, Prompts& prompts, const QString& defaultAddress, QWidget* parent)
    : QWidget(parent), m_shell(shell), m_prompts(prompts), m_defaultAddress(defaultAddress),
      m_lblURL(new QLabel(this)) {
    m_lblURL->setObjectName(QStringLiteral("lblURL"));
    m_lblURL->setTextFormat(Qt::PlainText);
    m_lblURL->setFont(linkFont());
    m_lblURL->setCursor(handCursor());
    m_lblURL->installEventFilter(this);
    applyLinkColour();
    // Reachable by Tab and opened by Return or Space, as a link in a browser is.
    setFocusPolicy(Qt::StrongFocus);
    InitProperties();
}

QString URLLink::skinsPage(const QString& programFolder) {
    return programFolder + QStringLiteral("/docs/skins.html");
}

QString URLLink::Text() const {
    return m_lblURL->text();
}

void URLLink::setText(const QString& text) {
    m_lblURL->setText(text);
    setAccessibleName(text);
    // Sized with the label's own font so the whole caption, and nothing more, is the link; the
    // width is rounded up so the last glyph is not clipped.
    const QSize size = QFontMetrics(m_lblURL->font()).size(0, text);
    m_lblURL->setGeometry(0, 0, size.width(), size.height());
    emit propertyChanged(kText);
}

void URLLink::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!event->isAutoRepeat() && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            lblURL_MouseDown(Qt::LeftButton);
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void URLLink::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void URLLink::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void URLLink::paintEvent(QPaintEvent*) {
    if (!hasFocus())
        return;
    // The focus frame around the text, where the keyboard is.
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = m_lblURL->geometry() & rect();
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void URLLink::setURL(const QString& url) {
    m_url = url;
    RefreshToolTip();
    emit propertyChanged(kURL);
}

void URLLink::setShowToolTip(bool show) {
    m_showToolTip = show;
    RefreshToolTip();
    emit propertyChanged(kShowToolTip);
}

void URLLink::RefreshToolTip() {
    m_lblURL->setToolTip(m_showToolTip ? literalToolTip(m_url) : QString());
}

void URLLink::InitProperties() {
    setText(m_defaultAddress);
    m_url = m_defaultAddress;
    setShowToolTip(false);
}

void URLLink::ReadProperties(const QVariantMap& bag) {
    // Everything is checked before anything changes, so a bad bag leaves no half-read state behind.
    std::optional<QString> text = m_defaultAddress;
    std::optional<QString> url = m_defaultAddress;
    std::optional<bool> showToolTip = false;
    if (const QVariant* v = stored(bag, kText))
        text = storedText(*v);
    if (const QVariant* v = stored(bag, kURL))
        url = storedText(*v);
    if (const QVariant* v = stored(bag, kShowToolTip))
        showToolTip = storedFlag(*v);
    if (!text || !url || !showToolTip) {
        InitProperties();
        return;
    }
    setText(*text);
    m_url = *url;
    setShowToolTip(*showToolTip);
}

QVariantMap URLLink::WriteProperties() const {
    QVariantMap bag;
    if (Text() != m_defaultAddress)
        bag.insert(kText, Text());
    if (m_url != m_defaultAddress)
        bag.insert(kURL, m_url);
    if (m_showToolTip)
        bag.insert(kShowToolTip, true);
    return bag;
}

bool URLLink::eventFilter(QObject* watched, QEvent* event) {
    // A press, not a click: the link opens the moment the button goes down. A double click's
    // second press arrives as its own event type and opens nothing more.
    if (watched == m_lblURL && event->type() == QEvent::MouseButtonPress) {
        lblURL_MouseDown(static_cast<QMouseEvent*>(event)->button());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void URLLink::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        applyLinkColour();
    QWidget::changeEvent(event);
}

void URLLink::applyLinkColour() {
    QPalette palette = m_lblURL->palette();
    palette.setColor(QPalette::WindowText, this->palette().color(QPalette::Active, QPalette::Highlight));
    m_lblURL->setPalette(palette);
}

void URLLink::lblURL_MouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    QString address = m_url;
    bool cancel = false;
    const QPointer<URLLink> alive(this);
    emit GoToURL(address, cancel);
    if (cancel || !alive)
        return;

    std::string failure;
    {
        const BusyPointer busy;
        try {
            m_shell.openUrl(address.toStdString());
        } catch (const ShellError& e) {
            failure = "Unable to load '" + address.toStdString() + "' : " + e.what() + " (Error " +
                      std::to_string(e.number) + ")";
        }
    }
    // The pointer is back to normal before the user is asked to read the message.
    if (!failure.empty())
        m_prompts.message(failure, std::string(), Prompts::Icon::None, Prompts::Buttons::Ok);
}

} // namespace morvantis
