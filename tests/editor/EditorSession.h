#pragma once
// The settings editor as the user opens it: through the editing procedure, shown and
// active, then closed with OK (after the focus moved to OK, so the focused control
// stores as on a click) or Cancel.

#include "editor/MK_SetParamsDlg.h"
#include "model/MK.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>
#include <functional>

// act() works the dialog and returns true for OK; the result is the procedure's.
inline bool EditSession(TMK &mk, const std::function<bool(TMK_SetParamsDlg &)> &act) {
    return mk.EditSettings([&] {
        TMK_SetParamsDlg dlg(mk);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        if (!QTest::qWaitForWindowActive(&dlg)) return false;
        const bool ok = act(dlg);
        if (ok) {
            dlg.OKBtn->setFocus();
            dlg.accept();
        } else {
            dlg.reject();
        }
        return dlg.result() == QDialog::Accepted;
    });
}
