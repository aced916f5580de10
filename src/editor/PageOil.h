#pragma once
// Page tsOil: the fuel tank calibrations (2 points, 7 points and the tare table) and
// the tank settings file.

#include "base/Prompts.h"
#include "editor/EditorPage.h"

#include <array>

class QGroupBox;
class QPushButton;
class QTableWidget;

class TPageOil : public TEditorPage {
    Q_OBJECT
public:
    TPageOil(TEditorContext &ctx, QWidget *parent = nullptr);

    void Load() override;
    void Activated() override;

    TFileDialogOptions SaveDialog, OpenDialog;

private:
    void ApplyTexts();
    // Loads the calibrations, the tare count and the tare table from the image; a tare
    // count beyond the table is reset to 0 first.
    void TankLoad();
    void ShowCalibrRows(int count);
    void FillTare();
    // A typed tare table goes to the image once the grid is left.
    void StoreTare();
    void SaveFile();
    void LoadFile();

    QGroupBox *GroupBox3;
    QGroupBox *GroupBox4;
    QGroupBox *GroupBox5;
    QLabel *lGroupBox3Header;
    QLabel *lGroupBox4Header;
    QGridLayout *grid2;
    QGridLayout *grid7;
    std::array<TSpinEdit *, 4> points2{}; // seLit6L, seOil6L, seLit43L, seOil43L
    TSpinEdit *seOilCalibrQuant;
    std::array<TSpinEdit *, 7> seOilCalibrLitArr{};
    std::array<TSpinEdit *, 7> seOilCalibrResArr{};
    TSpinEdit *seTarirLeng;
    QCheckBox *cbTarirFlagFinish;
    QTableWidget *sgTarir;
    TRadioGroup *rgTarirIncline;
    QPushButton *bOilSave;
    QPushButton *bOilLoad;
    QLabel *lOilNotice;
    QLabel *Label14;
    QLabel *Label44;

    bool tareEdited_ = false; // a cell was typed since the table was last stored
    bool filling_ = false;
};
