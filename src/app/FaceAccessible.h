#pragma once

#include <QAccessibleWidget>

#include <vector>

namespace morvantis {

class frmMain;

// What a screen reader finds on the face, which draws its elements itself: the six buttons, the
// alarm light with the caption, and the display with the time and date it shows.
class FaceAccessible final : public QAccessibleWidget {
public:
    explicit FaceAccessible(frmMain* window);
    ~FaceAccessible() override;

    // Makes Qt's accessibility ask this class for the clock window. Once per program is enough.
    static void install();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    frmMain* clock() const;

private:
    mutable std::vector<QAccessible::Id> m_children;
};

} // namespace morvantis
