#include "app/PassW.h"

#include "base/Prompts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

bool g_unlocked = false;

// Typed characters show as "$".
class TDollarEchoStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '$';
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

} // namespace

bool Access::Unlocked() { return g_unlocked; }
void Access::Unlock() { g_unlocked = true; }
void Access::ResetForTests() { g_unlocked = false; }

TPasswDlg::TPasswDlg(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PasswDlg"));
    setWindowTitle(QStringLiteral("Контроль доступа"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(233, 139);

    Label1 = new QLabel(QStringLiteral("Указанные изменения могут быть произведены только после верного ввода пароля:"),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setGeometry(8, 6, 217, 58);

    MaskEdit1 = new QLineEdit(this);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit1->setGeometry(8, 68, 217, 24);
    MaskEdit1->setMaxLength(10);
    MaskEdit1->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\p{L}\\p{N}]{0,10}")),
                                                            MaskEdit1));
    auto *style = new TDollarEchoStyle;
    style->setParent(MaskEdit1);
    MaskEdit1->setStyle(style);
    MaskEdit1->setEchoMode(QLineEdit::Password);

    // Standard buttons: their texts follow the interface language with Qt's translations.
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->setCenterButtons(true);
    buttons->setGeometry(8, 104, 217, 27);
    OKBtn = buttons->button(QDialogButtonBox::Ok);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = buttons->button(QDialogButtonBox::Cancel);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    MaskEdit1->setFocus();
}

bool AskPassword(const QString &prompt, const QString &expected) {
    TPasswDlg dialog(QApplication::activeWindow());
    dialog.Label1->setText(prompt);
    const QString typed = dialog.exec() == QDialog::Accepted ? dialog.MaskEdit1->text() : QString();
    return typed == expected;
}

bool CheckAccess() {
    if (Access::Unlocked()) return true;
    if (AskPassword(QStringLiteral("Данная команда будет выполняться только после ввода пароля!"), QStringLiteral("QZK"))) {
        Access::Unlock();
        return true;
    }
    Prompts().ShowError(QStringLiteral("Неверный пароль!"));
    return false;
}
