// How long a colour change takes on the colour page: one step of the red spin edit
// stores the colour, redraws the visible previews and grids and repaints them. Runs
// offscreen unless a platform is given. Prints the mean and the slowest change per
// preview page. Target: every change well inside one frame (16 ms). Exit code 1 when
// it is missed.

#include "editor/EditorPage.h"
#include "editor/MK_SetParamsDlg.h"
#include "editor/Widgets.h"
#include "model/MK.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TMK mk;
    double worstMean = 0;
    mk.EditSettings([&] {
        TMK_SetParamsDlg dlg(mk);
        dlg.show();
        app.processEvents();
        dlg.pcMain->setCurrentIndex(3);
        dlg.pcDisp->setCurrentWidget(dlg.Page(QStringLiteral("tsColor")));
        auto *pcColor = dlg.findChild<QTabWidget *>("pcColor");
        auto *pcColorDig = dlg.findChild<QTabWidget *>("pcColorDig");
        QAbstractSpinBox *seR = dlg.findChild<TSpinEdit *>("seR");
        struct TCase {
            const char *name;
            int colourPage, previewPage;
        };
        const TCase cases[] = {{"x1 + sample", 0, 0}, {"x4 + x9", 0, 1}, {"x6", 0, 2}, {"menu", 1, 0}};
        constexpr int changes = 200;
        std::printf("%-12s %10s %10s\n", "page", "mean ms", "worst ms");
        for (const TCase &c : cases) {
            pcColor->setCurrentIndex(c.colourPage);
            pcColorDig->setCurrentIndex(c.previewPage);
            app.processEvents();
            double total = 0, worst = 0;
            for (int i = 0; i < changes; ++i) {
                QElapsedTimer t;
                t.start();
                seR->stepBy(i % 2 ? -1 : 1);
                app.processEvents(); // the repaint
                const double ms = double(t.nsecsElapsed()) / 1e6;
                total += ms;
                worst = std::max(worst, ms);
            }
            const double mean = total / changes;
            worstMean = std::max(worstMean, mean);
            std::printf("%-12s %10.2f %10.2f\n", c.name, mean, worst);
        }
        return false;
    });
    const bool ok = worstMean < 16;
    std::printf("colour change target < 16 ms: %s\n", ok ? "met" : "MISSED");
    return ok ? 0 : 1;
}
