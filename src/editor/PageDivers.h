#pragma once
// Sub-page tsDivers of the display page: title screen, progress bars, display names,
// update rate, brightness and colour-scheme control, backlight times and levels.

#include "editor/EditorPage.h"

class QBoxLayout;

class TPageDivers : public TEditorPage {
    Q_OBJECT
public:
    TPageDivers(TEditorContext &ctx, QWidget *parent = nullptr);

    // Room right of the options for the "Показывать дисплеи" group; empty until that group is built.
    QBoxLayout *showDisplaysArea;
};
