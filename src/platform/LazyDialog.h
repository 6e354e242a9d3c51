#pragma once

#include <QDialog>

namespace morvantis {

// A dialog the program keeps, hidden, far longer than it is shown: its controls cost nothing until
// it is first shown or they are asked for.
class LazyDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    // Makes the controls now, if they are not made yet.
    void buildControls();
    bool controlsBuilt() const { return m_built; }
    void setVisible(bool visible) override;

protected:
    // Makes the controls and fills them from what the dialog holds; runs once.
    virtual void build() = 0;

private:
    bool m_built = false;
};

} // namespace morvantis
