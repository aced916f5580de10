#include "link/ML_RS232_SetNumDlg.h"

#include "app/PassW.h"
#include "link/PortDirectory.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

namespace {

// Standard buttons in the place the dialog gives them: their texts follow the interface
// language with Qt's translations.
QDialogButtonBox *Buttons(QDialog *dialog, QDialogButtonBox::StandardButtons which,
                          Qt::Orientation orientation, const QRect &geometry) {
    auto *box = new QDialogButtonBox(which, orientation, dialog);
    box->setObjectName(QStringLiteral("buttons"));
    box->setGeometry(geometry);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

QPushButton *Named(QDialogButtonBox *box, QDialogButtonBox::StandardButton which, const char *name) {
    QPushButton *b = box->button(which);
    b->setObjectName(QLatin1String(name));
    return b;
}

void CentreOnScreen(QWidget *dialog) {
    const QScreen *screen =
        dialog->parentWidget() ? dialog->parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) dialog->move(screen->availableGeometry().center() - dialog->rect().center());
}

constexpr Qt::WindowFlags kDialogFlags =
    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

} // namespace

// --- port number -------------------------------------------------------------------------

TML_RS232_SetNumDlg::TML_RS232_SetNumDlg(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ML_RS232_SetNumDlg"));
    setWindowTitle(QStringLiteral("Выбор номера порта"));
    setWindowFlags(kDialogFlags);
    setFixedSize(337, 85);

    Label1 = new QLabel(QStringLiteral("Выберите последовательный порт"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 8, 232, 18);

    PCB = new QComboBox(this);
    PCB->setObjectName(QStringLiteral("PCB"));
    PCB->setEditable(false);
    PCB->setGeometry(8, 32, 232, 26);

    QDialogButtonBox *buttons =
        Buttons(this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, QRect(248, 8, 81, 63));
    OKBtn = Named(buttons, QDialogButtonBox::Ok, "OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = Named(buttons, QDialogButtonBox::Cancel, "CancelBtn");

    CentreOnScreen(this);
    PCB->setFocus();
}

void TML_RS232_SetNumDlg::FillPorts(const TML_RS_Base &link) {
    PCB->clear();
    for (int n = 1; n <= TML_RS_Base::MaxPorts; ++n) {
        if (!link.PortPresent[size_t(n)]) continue;
        QString text = QStringLiteral("COM%1").arg(n);
        const QString path = link.PortDevicePath(n);
#if !defined(Q_OS_WIN)
        // Port numbers are the program's own on Linux: show what is behind them.
        if (!path.isEmpty()) text += QStringLiteral("  ") + path;
#endif
        // And what the system knows of the adapter, so the user recognises it.
        const QString details = PortDetails(path);
        if (!details.isEmpty()) text += QStringLiteral("  (%1)").arg(details);
        PCB->addItem(text, n);
        PCB->setItemData(PCB->count() - 1, text, Qt::ToolTipRole);
        if (n == link.PortNumber) PCB->setCurrentIndex(PCB->count() - 1);
    }
    // Long device names (/dev/serial/by-id/…) are shown whole in the open list.
    int widest = 0;
    const QFontMetrics metrics(PCB->view()->font());
    for (int i = 0; i < PCB->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(PCB->itemText(i)));
    PCB->view()->setMinimumWidth(widest + 32);
}

int TML_RS232_SetNumDlg::SelectedPort() const {
    return PCB->currentIndex() < 0 ? 0 : PCB->currentData().toInt();
}

// --- baud rate ------------------------------------------------------------------------------

TML_RS232_SetBRDlg::TML_RS232_SetBRDlg(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ML_RS232_SetBRDlg"));
    setWindowTitle(QStringLiteral("Выбор скорости обмена СОМ-порта"));
    setWindowFlags(kDialogFlags);
    setFixedSize(273, 97);

    Label2 = new QLabel(QStringLiteral("Скорость обмена, бод"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(8, 16, 150, 20);

    BSE = new QSpinBox(this);
    BSE->setObjectName(QStringLiteral("BSE"));
    BSE->setRange(110, 921600);
    BSE->setSingleStep(10);
    BSE->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    BSE->setGeometry(162, 13, 103, 26);

    QDialogButtonBox *buttons =
        Buttons(this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help,
                Qt::Horizontal, QRect(8, 62, 257, 27));
    OKBtn = Named(buttons, QDialogButtonBox::Ok, "OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = Named(buttons, QDialogButtonBox::Cancel, "CancelBtn");
    HelpBtn = Named(buttons, QDialogButtonBox::Help, "HelpBtn");
    HelpBtn->setEnabled(false); // there is no help to show

    CentreOnScreen(this);
    BSE->setFocus();
}

// --- the link's questions -------------------------------------------------------------------

bool TPortDialogs::PassGate() {
    return CheckAccess();
}

int TPortDialogs::ChoosePort(const TML_RS_Base &link) {
    TML_RS232_SetNumDlg dialog(QApplication::activeWindow());
    // These English texts replace the Russian design-time ones in both languages.
    dialog.setWindowTitle(QStringLiteral("Port number selection"));
    dialog.Label1->setText(QStringLiteral("Select serial port"));
    dialog.FillPorts(link);
    if (dialog.exec() != QDialog::Accepted) return 0;
    return dialog.SelectedPort();
}

std::optional<int> TPortDialogs::ChooseBaudRate(int current) {
    TML_RS232_SetBRDlg dialog(QApplication::activeWindow());
    dialog.BSE->setValue(current);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    dialog.BSE->interpretText(); // a value still being typed counts
    return dialog.BSE->value();
}
