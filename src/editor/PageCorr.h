#pragma once
// Page tsCorr: corrections, and the injector settings.

#include "editor/EditorPage.h"

class TPageCorr : public TEditorPage {
    Q_OBJECT
public:
    TPageCorr(TEditorContext &ctx, QWidget *parent = nullptr);

    void ApplyProtocolRules() override;
    void ApplyShowRules() override;
    void OnEvent(TEditorEvent event) override;

    // rgForsPosFlag and rgForsCoef show exactly when some source is the injector.
    void ApplyInjectorRule();

private:
    TRadioGroup *rgForsPosFlag;
    TRadioGroup *rgForsCoef;
    TSpinEdit *seForsCoefCarb;
};
