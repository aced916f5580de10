#pragma once
// The access gate in front of the link's configuration commands. The main window
// opens it at start-up, so the password dialog does not show in normal use.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Access {
bool Unlocked();
void Unlock();
void ResetForTests();
} // namespace Access

// True when the gate is open or the right password is typed; otherwise reports
// "Неверный пароль!" and answers false.
bool CheckAccess();
// Shows the password dialog; true when it closes with OK and the text equals expected.
bool AskPassword(const QString &prompt, const QString &expected);

class TPasswDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswDlg(QWidget *parent = nullptr);
    QLabel *Label1;
    QLineEdit *MaskEdit1;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};
