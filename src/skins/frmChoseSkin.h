#pragma once

#include "platform/LazyDialog.h"
#include "platform/Services.h"
#include "skins/SkinCatalog.h"

#include <string>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace morvantis {

class URLLink;

// A view of the skin catalog: lists its skins and shows the selected one with its description. A
// click is told to whoever listens to skinSelected, which selects and applies the skin and then
// has the view show it. It lives hidden from start-up on, and until it is first shown its entries
// are plain names.
class frmChoseSkin : public LazyDialog {
    Q_OBJECT
public:
    frmChoseSkin(Services& services, const SkinCatalog& catalog, QWidget* parent = nullptr);

    // The catalog's selection and the selected skin's description, as they stand now.
    void showSelection();

    // The number of entries, the selected entry's text ("" when none), and the selected index
    // (-1 when none).
    int count() const { return m_catalog.count(); }
    std::string selectedText() const { return m_catalog.selectedName(); }
    int listIndex() const { return m_catalog.selected(); }
    // Selects an entry as a click does; an index outside the list, or the current entry, does nothing.
    void setListIndex(int index);

    void List1_Click(int row);
    void cmdExit_Click();

signals:
    // An entry was selected: the skin in folder path is to be loaded now, and index remembered
    // as ThemeNo once it has been.
    void skinSelected(int index, const QString& path);

protected:
    void build() override;

private:
    void buildLists();

    Services& m_services;
    const SkinCatalog& m_catalog;
    QListWidget* m_list = nullptr;
    QListWidget* m_dir = nullptr;
    QPlainTextEdit* m_text = nullptr;
    URLLink* m_link = nullptr;
    QPushButton* m_exit = nullptr;
    QString m_description; // Text1's text, also while Text1 is not built
};

} // namespace morvantis
