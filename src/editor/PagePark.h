#pragma once
// Page tsPark: the rear and front parking sensors.

#include "editor/EditorPage.h"

class TPagePark : public TEditorPage {
    Q_OBJECT
public:
    TPagePark(TEditorContext &ctx, QWidget *parent = nullptr);
};
