#pragma once
// The link's two configuration dialogs: the port number and the baud rate. Both
// sit behind the access gate. TPortDialogs is how the link asks for them
// (SetPortChoice).

#include "link/ML_RS_Base.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

class TML_RS232_SetNumDlg : public QDialog {
    Q_OBJECT
public:
    explicit TML_RS232_SetNumDlg(QWidget *parent = nullptr);

    // One item per present port, "COMn" with the device path beside it; the port
    // number rides along as the item's data.
    void FillPorts(const TML_RS_Base &link);
    // The chosen port; 0 when nothing is selected.
    int SelectedPort() const;

    QLabel *Label1;
    QComboBox *PCB;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};

class TML_RS232_SetBRDlg : public QDialog {
    Q_OBJECT
public:
    explicit TML_RS232_SetBRDlg(QWidget *parent = nullptr);

    QLabel *Label2;
    QSpinBox *BSE;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    QPushButton *HelpBtn;
};

// The dialogs as the link asks for them.
class TPortDialogs final : public TPortChoice {
public:
    bool PassGate() override;
    int ChoosePort(const TML_RS_Base &link) override;
    std::optional<int> ChooseBaudRate(int current) override;
};
