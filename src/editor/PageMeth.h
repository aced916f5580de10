#pragma once
// Page tsMeth: data sources, protocol and tank method, with the rules that follow the
// current protocol and the device.

#include "editor/EditorPage.h"

#include <array>

class QComboBox;
class QGroupBox;

class TPageMeth : public TEditorPage {
    Q_OBJECT
public:
    TPageMeth(TEditorContext &ctx, QWidget *parent = nullptr);

    void Load() override;
    void ApplyProtocolRules() override;
    void ApplyShowRules() override;
    void FinishShow() override;
    void OnEvent(TEditorEvent event) override;

private:
    QStringList ProtocolSelectMethods() const;
    QStringList SpeedSources() const;
    QStringList TankMethods() const;

    // cbProtocol is shown exactly when manual selection (the last item) is chosen.
    void ApplyProtocolSelectRule();
    void ChangeProtocol(int index);
    // With LastSpeedSourceNeedsVirtualLock and a physical lock the last speed source gives way to the first.
    void KeepSpeedSourceWithLock();
    void ApplyLockRule();
    void ApplyCompensationRule();
    // Names of parameters 11, 9 and 55 in the current language and for the device.
    void ApplyParameterNames();

    QComboBox *cbProtocolSelectMeth;
    QComboBox *cbProtocol;
    std::array<QComboBox *, 8> cbProtType{}; // cbProtTypeMain, cbProtTypeAdd1 … cbProtTypeAdd7
    QComboBox *cbTankMeth;
    QCheckBox *cbCorrTankByAcc;
    TRadioGroup *rgVelocityMeth;
    TRadioGroup *rgLockType;
    TRadioGroup *rgLockTypeLevel;
    TRadioGroup *rgGabarType;
    TRadioGroup *rgGabarInvPol;
    TRadioGroup *rgUaccMeth;
    TRadioGroup *sgTrimMeth;
    TRadioGroup *rgAirTemperGetMeth;
};
