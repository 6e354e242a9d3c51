#pragma once

#include "platform/LazyDialog.h"
#include "platform/Services.h"
#include "settings/Settings.h"

#include <string>
#include <vector>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace morvantis {

class URLLink;

// Lists the skin folders; a selected skin is applied at once by whoever listens to skinSelected.
// It reads the settings (ThemeNo) and changes none of them. It lives hidden from start-up on, and
// until it is first shown its entries are plain names.
class frmChoseSkin : public LazyDialog {
    Q_OBJECT
public:
    frmChoseSkin(Services& services, const Settings& settings, QWidget* parent = nullptr);

    // Fills the list and selects entry ThemeNo, which applies that skin.
    void Form_Load();

    // What the loader needs: the number of entries, the selected entry's text ("" when none), and
    // the selected index (-1 when none).
    int count() const { return static_cast<int>(m_names.size()); }
    std::string selectedText() const;
    int listIndex() const { return m_current; }
    // Selects an entry as a click does; an index outside the list selects nothing.
    void setListIndex(int index);

    void List1_Click();
    void cmdExit_Click();

signals:
    // An entry was selected: the skin in folder path is to be loaded now, and index remembered
    // as ThemeNo once it has been.
    void skinSelected(int index, const QString& path);

protected:
    void build() override;

private:
    std::string skinsFolder() const;
    void buildLists();

    Services& m_services;
    const Settings& m_settings;
    std::vector<QString> m_names; // List1's entries, also while List1 is not built
    int m_current = -1;           // List1's current row
    QListWidget* m_list = nullptr;
    QListWidget* m_dir = nullptr;
    QPlainTextEdit* m_text = nullptr;
    URLLink* m_link = nullptr;
    QPushButton* m_exit = nullptr;
    QString m_description; // Text1's text, also while Text1 is not built
};

} // namespace morvantis
