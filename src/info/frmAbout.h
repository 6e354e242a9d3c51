#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace morvantis {

// The about window: pictures, version, addresses and the notice. Open it with open() on a new
// instance; it deletes itself when closed, so every opening starts afresh.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    // dataFolder: where the program found its skins; the notice names the skin guide there
    // and the README installed beside it.
    explicit frmAbout(QWidget* parent = nullptr, const QString& dataFolder = {});

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmdOK_Click();

    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;
    QLabel* lblVersion;
    QLabel* lblEMail;
    QLabel* lblWebsite;
    QPlainTextEdit* txtProtext;
    QPushButton* cmdOK;
};

} // namespace morvantis
