#pragma once
// Page tsServiceInfo: what the device found out about the vehicle, read only. Its tab
// is never shown; the grid is filled all the same.

#include "editor/EditorPage.h"

class QTableWidget;

class TPageServiceInfo : public TEditorPage {
    Q_OBJECT
public:
    TPageServiceInfo(TEditorContext &ctx, QWidget *parent = nullptr);

    static constexpr int Rows = 23;

    void Load() override;
    void Activated() override { Load(); }

private:
    QTableWidget *sgServiceInfo;
};
