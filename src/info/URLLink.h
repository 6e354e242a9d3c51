#pragma once

#include <QString>
#include <QVariantMap>
#include <QWidget>

class QLabel;

namespace morvantis {

class Shell;
class Prompts;

// A line of text styled as a web link; a left-button press on it opens an address
// (or any document the desktop knows how to open).
class URLLink : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString URL READ URL WRITE setURL)
    Q_PROPERTY(bool ShowToolTip READ ShowToolTip WRITE setShowToolTip)

public:
    // defaultAddress is the program's one fixed address: default of both Text and URL.
    URLLink(Shell& shell, Prompts& prompts, const QString& defaultAddress, QWidget* parent = nullptr);

    // The page about making skins that ships beside the program.
    static QString skinsPage(const QString& programFolder);

    QString Text() const;
    void setText(const QString& text);
    QString URL() const { return m_url; }
    void setURL(const QString& url);
    bool ShowToolTip() const { return m_showToolTip; }
    void setShowToolTip(bool show);

    QString defaultAddress() const { return m_defaultAddress; }

    // Stored properties: keys "Text", "URL", "ShowToolTip"; values equal to their default are left out.
    void InitProperties();
    void ReadProperties(const QVariantMap& bag);
    QVariantMap WriteProperties() const;

    QLabel* lblURL() const { return m_lblURL; }
    // Opens the address as a left-button press on the text does (a screen reader's press).
    void open() { lblURL_MouseDown(Qt::LeftButton); }

signals:
    // Raised just before an address is opened. Handlers may change url (the URL property stays as it
    // is) or set cancel. Only direct connections can change the caller's values.
    void GoToURL(QString& url, bool& cancel);
    // The name of a property that was just written ("Text", "URL" or "ShowToolTip").
    void propertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void lblURL_MouseDown(Qt::MouseButton button);
    void RefreshToolTip();
    void applyLinkColour();

    Shell& m_shell;
    Prompts& m_prompts;
    const QString m_defaultAddress;
    QLabel* m_lblURL;
    QString m_url;
    bool m_showToolTip = false;
};

} // namespace morvantis
