#pragma once
// Sub-page tsDivers of the display page: title screen, progress bars, display names,
// update rate, brightness and colour-scheme control, backlight times and levels.

#include "editor/EditorPage.h"
#include "editor/ShowDisplaysBox.h"

class QBoxLayout;

class TPageDivers : public TEditorPage {
    Q_OBJECT
public:
    TPageDivers(TEditorContext &ctx, QWidget *parent = nullptr);

    void ApplyShowRules() override { showDisplays->ApplyShowRules(); }
    void FinishShow() override { showDisplays->FinishShow(); }
    void OnEvent(TEditorEvent event) override { showDisplays->OnEvent(event); }

    // Room right of the options for the "Показывать дисплеи" group.
    QBoxLayout *showDisplaysArea;
    TShowDisplaysBox *showDisplays;
};
