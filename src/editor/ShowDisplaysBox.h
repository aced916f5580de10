#pragma once
// The group "Показывать дисплеи" / "Show displays": which screens the device cycles
// through. x4, x9, x6 and the average screens are fixed check boxes; the x1 boxes name
// the current protocol's displayable parameters, one bit of a 64-bit mask each.

#include "editor/EditorPage.h"

#include <QGroupBox>
#include <array>

class QCheckBox;
class QGridLayout;

class TShowDisplaysBox : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int X1Boxes = 40;

    TShowDisplaysBox(TEditorContext &ctx, QWidget *parent = nullptr);

    // The hooks of the page that holds the group.
    void ApplyShowRules() { ApplyX1Rule(); }
    void FinishShow() { RefreshX1Captions(); }
    void OnEvent(TEditorEvent event);

    // The x1 boxes for the current protocol: one shown and captioned per displayable
    // parameter; the rest hidden and unchecked, which clears their bits. Run at show
    // and after every protocol change.
    void ApplyX1Rule();
    // The x1 captions carry the names the editor gives the parameters on this device
    // (after the parameter names are rewritten).
    void RefreshX1Captions();

private:
    QString X1Caption(int box) const;

    TEditorContext &ctx;
    std::array<QCheckBox *, X1Boxes> cbShowDisp_1{};
    QGridLayout *x1Grid_;
};
