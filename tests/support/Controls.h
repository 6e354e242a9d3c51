#pragma once

#include "platform/LazyDialog.h"

#include <QString>
#include <gtest/gtest.h>

namespace morvantis::test {

// A dialog's control found by its object name; asking for one builds the controls, as showing
// the dialog does.
template <class W> W* control(LazyDialog& dialog, const char* name) {
    dialog.buildControls();
    W* w = dialog.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

} // namespace morvantis::test
