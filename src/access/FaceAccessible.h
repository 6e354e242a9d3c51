#pragma once

#include <QAccessibleWidget>

#include <vector>

namespace morvantis {

class frmMain;

// What a screen reader finds on the face, which draws its elements itself: the six buttons, the
// alarm light and its caption, and the display with the time and date it shows.
class FaceAccessible final : public QAccessibleWidget {
public:
    explicit FaceAccessible(frmMain* window);
    ~FaceAccessible() override;

    // Makes Qt's accessibility ask this class for the clock window, and the other windows' own
    // interfaces for their controls. Once per program is enough.
    static void install();

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    frmMain* clock() const;

private:
    void announceChanges();

    // Each time the face is shown: what changed since the screen reader was last told.
    QMetaObject::Connection m_shownWatch;
    mutable std::vector<QAccessible::Id> m_children;
    // What the screen reader was last told.
    QString m_shown;
    QString m_caption;
    bool m_lit = false;
};

} // namespace morvantis
