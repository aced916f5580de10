#pragma once
// The desktop's prompts: QMessageBox and QFileDialog.

#include "base/Prompts.h"

class TMessageBoxPrompts final : public TUserPrompts {
public:
    void ShowError(const QString &text) override;
    void ShowInformation(const QString &text) override;
    bool Confirm(const QString &text) override;
    void ShowApplicationError(const QString &text) override;
    QString OpenFileName(const TFileDialogOptions &options) override;
    QString SaveFileName(const TFileDialogOptions &options) override;
};
