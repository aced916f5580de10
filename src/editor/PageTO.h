#pragma once
// Page tsTO: maintenance intervals, dates and engine hours, and the maintenance
// settings file.

#include "base/Prompts.h"
#include "editor/EditorPage.h"

#include <QList>

class QPushButton;

class TPageTO : public TEditorPage {
    Q_OBJECT
public:
    TPageTO(TEditorContext &ctx, QWidget *parent = nullptr);

    void Load() override;

    TFileDialogOptions SaveDialog, OpenDialog;

private:
    void ApplyTexts();
    void SaveFile();
    void LoadFile();

    QGridLayout *grid;
    QLabel *lTOHeader;
    TSpinEdit *seAirFiltCntK;
    QList<QLineEdit *> nameEdits; // eForsTOCntK, eGRMStrapCntK, eCandleCntK
    QLineEdit *deTO;
    QLineEdit *deOSAGO;
    QPushButton *bTOSave;
    QPushButton *bTOLoad;
};
