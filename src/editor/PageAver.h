#pragma once
// Page tsAver: trip costs, auto-reset periods of the average counters and trips.

#include "editor/EditorPage.h"

class TPageAver : public TEditorPage {
    Q_OBJECT
public:
    TPageAver(TEditorContext &ctx, QWidget *parent = nullptr);
};
