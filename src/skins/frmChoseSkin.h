#pragma once

#include "platform/Services.h"
#include "settings/Settings.h"

#include <QDialog>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace morvantis {

class URLLink;

// Lists the skin folders; a selected skin is applied at once by whoever listens to skinSelected.
// It reads the settings (ThemeNo) and changes none of them.
class frmChoseSkin : public QDialog {
    Q_OBJECT
public:
    frmChoseSkin(Services& services, const Settings& settings, QWidget* parent = nullptr);

    // Fills the list and selects entry ThemeNo, which applies that skin.
    void Form_Load();

    // What the loader needs: the selected entry's text ("" when none), and the selected index.
    std::string selectedText() const;
    int listIndex() const;
    // Selects an entry as a click does; an index outside the list selects nothing.
    void setListIndex(int index);

    void List1_Click();
    void cmdExit_Click();

    QListWidget* List1() const { return m_list; }
    QPlainTextEdit* Text1() const { return m_text; }
    URLLink* URLLink1() const { return m_link; }
    QPushButton* cmdExit() const { return m_exit; }

signals:
    // An entry was selected: the skin in folder path is to be loaded now, and index remembered
    // as ThemeNo once it has been.
    void skinSelected(int index, const QString& path);

private:
    std::string skinsFolder() const;

    Services& m_services;
    const Settings& m_settings;
    QListWidget* m_list;
    QPlainTextEdit* m_text;
    QListWidget* m_dir;
    URLLink* m_link;
    QPushButton* m_exit;
};

} // namespace morvantis
