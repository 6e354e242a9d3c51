#pragma once

#include "platform/LazyDialog.h"

#include <QString>
#include <type_traits>
#include <gtest/gtest.h>

namespace morvantis::test {

// A dialog's control found by its object name; asking for one builds a lazy dialog's controls,
// as showing the dialog does.
template <class W, class Dialog> W* control(Dialog& dialog, const char* name) {
    if constexpr (std::is_base_of_v<LazyDialog, Dialog>)
        dialog.buildControls();
    W* w = dialog.template findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

} // namespace morvantis::test
