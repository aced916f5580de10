#pragma once
// TProgressForm: the small always-on-top window of a device transfer, with a label,
// a percentage gauge and a Cancel button. It never closes itself; its owner frees it.

#include "app/TransferProgress.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class TProgressForm : public QDialog, public TTransferProgress {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget *owner = nullptr);

    QLabel *ProgressLabel;
    QProgressBar *ProgressGauge;
    QPushButton *BitBtn1;
    bool CancelPressed = false;

    // TTransferProgress
    void SetLabel(const QString &text) override;
    void SetGauge(int percent) override;
    void SetGaugeVisible(bool visible) override;
    void SetCancelVisible(bool visible) override;
    bool Cancelled() const override { return CancelPressed; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
