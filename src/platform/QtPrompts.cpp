#include "platform/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace morvantis {

Prompts::Answer QtPrompts::message(const std::string& text, const std::string& title, Icon icon,
                                   Buttons buttons) {
    QMessageBox box(QApplication::activeWindow());
    // Modal to the window it speaks for: the alarm's alert, a window of its own, still answers.
    if (box.parentWidget())
        box.setWindowModality(Qt::WindowModal);
    box.setWindowTitle(QString::fromStdString(title.empty() ? std::string("Morvantis") : title));
    box.setText(QString::fromStdString(text));
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == Buttons::YesNo      ? Answer::No
               : buttons == Buttons::OkCancel ? Answer::Cancel
                                              : Answer::Ok;
    }
}

std::optional<std::string> QtPrompts::openFile(const std::string& filter) {
    const QString file = QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(),
                                                      QString::fromStdString(filter));
    if (file.isEmpty())
        return std::nullopt;
    return file.toStdString();
}

} // namespace morvantis
