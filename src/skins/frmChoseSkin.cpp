#include "skins/frmChoseSkin.h"

#include "info/URLLink.h"
#include "platform/Files.h"
#include "platform/QtTwips.h"
#include "skins/SkinRules.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace morvantis {

namespace {

// The description box shows whole lines only, wherever it is scrolled to: its text area is a whole
// number of lines high, and what is left over is an even border in the box's own colour.
class DescriptionBox final : public QPlainTextEdit {
public:
    explicit DescriptionBox(QWidget* parent) : QPlainTextEdit(parent) {
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
        // Scrolled, the box draws each line one pixel below its place: the first line starts there too.
        document()->setDocumentMargin(1);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        fitLines();
        QPlainTextEdit::resizeEvent(event);
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange)
            fitLines();
        QPlainTextEdit::changeEvent(event);
    }

private:
    void fitLines() {
        constexpr int kSide = 3;
        const int line = static_cast<int>(std::ceil(QFontMetricsF(font()).lineSpacing()));
        const int room = contentsRect().height() - 1;
        const int lines = std::max(1, room / std::max(1, line));
        const int spare = std::max(0, room - lines * line);
        setViewportMargins(kSide, spare / 2, 0, spare - spare / 2);
    }
};

} // namespace

frmChoseSkin::frmChoseSkin(Services& services, const SkinCatalog& catalog, QWidget* parent)
    : LazyDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                             Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_services(services), m_catalog(catalog) {
    setObjectName(QStringLiteral("frmChoseSkin"));
    setWindowTitle(QStringLiteral("Select Skin"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(twipsSize(4020, 4140));
}

// Two list widgets cost the hidden chooser memory for the clock's whole run: they are made from
// the names when the window is first shown or its controls are asked for.
void frmChoseSkin::buildLists() {
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setAccessibleName(QStringLiteral("Skins"));
    m_list->setGeometry(twipsRect(0, 0, 2655, 3375));
    m_list->setSortingEnabled(false);

    m_dir = new QListWidget(this);
    m_dir->setObjectName(QStringLiteral("Dir1"));
    m_dir->setGeometry(twipsRect(2760, 720, 1215, 1665));
    m_dir->hide();

    for (const std::string& name : m_catalog.names()) {
        m_dir->addItem(QString::fromStdString(name));
        m_list->addItem(QString::fromStdString(name));
    }
    if (m_catalog.selected() >= 0)
        m_list->setCurrentRow(m_catalog.selected(), QItemSelectionModel::ClearAndSelect);
    connect(m_list, &QListWidget::currentRowChanged, this, &frmChoseSkin::List1_Click);
}

// The window's controls, the lists first: text, fonts and a style sheet cost a hidden chooser time
// before the clock shows and memory for its whole run.
void frmChoseSkin::build() {
    buildLists();
    m_list->setStyleSheet(QStringLiteral("QListWidget { color: rgb(0, 255, 0); background: black; }"));

    m_text = new DescriptionBox(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setAccessibleName(QStringLiteral("Description"));
    m_text->setGeometry(twipsRect(0, 3480, 2655, 615));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Lines wrap, a word longer than the box too: never a sideways scroll bar over half the text.
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_text->setReadOnly(true);
    m_text->setPlainText(m_description);

    const QString page = URLLink::skinsPage(QString::fromStdString(m_services.files.programFolder()));
    m_link = new URLLink(m_services.shell, m_services.prompts, page, this);
    m_link->setObjectName(QStringLiteral("URLLink1"));
    m_link->setText(QStringLiteral("Get more skins"));
    m_link->setURL(page);
    // A font wider than the one the window was laid out for would cut the text at the window's edge:
    // the link grows to its text and moves left as far as it must to end where the Exit button does.
    const QRect exit = twipsRect(2760, 3720, 1215, 375);
    QRect link = twipsRect(2810, 3360, 1215, 255);
    const int text = m_link->lblURL()->width();
    if (link.left() + text > exit.right() + 1)
        link.moveLeft(exit.right() + 1 - text);
    link.setWidth(std::max(link.width(), text));
    m_link->setGeometry(link & rect());

    m_exit = new QPushButton(QStringLiteral("&Exit"), this);
    m_exit->setObjectName(QStringLiteral("cmdExit"));
    m_exit->setGeometry(exit);
    m_exit->setAutoDefault(false);

    setTabOrder(m_list, m_link);
    setTabOrder(m_link, m_exit);
    m_list->setFocus();

    connect(m_exit, &QPushButton::clicked, this, &frmChoseSkin::cmdExit_Click);
}

void frmChoseSkin::showSelection() {
    const int selected = m_catalog.selected();
    if (m_list && m_list->currentRow() != selected) {
        const QSignalBlocker quiet(m_list);
        m_list->setCurrentRow(selected, QItemSelectionModel::ClearAndSelect);
    }
    if (selected < 0)
        return;
    const auto line = m_services.files.firstLine(m_catalog.path(selected) + "/info.txt", kInfoLineLimit);
    // Plain text: a description is never markup.
    m_description = QString::fromStdString(infoDescription(line.value_or(std::string())));
    if (m_text)
        m_text->setPlainText(m_description);
}

void frmChoseSkin::setListIndex(int index) {
    if (index < 0 || index >= count() || index == listIndex())
        return;
    if (m_list)
        m_list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    else
        List1_Click(index);
}

void frmChoseSkin::List1_Click(int row) {
    if (row >= 0 && row < count())
        emit skinSelected(row, QString::fromStdString(m_catalog.path(row)));
}

void frmChoseSkin::cmdExit_Click() {
    close();
}

} // namespace morvantis
