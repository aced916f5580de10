#include "app/Progress.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TProgressForm::TProgressForm(QWidget *owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(QStringLiteral("Progress..."));
    // No title-bar buttons; stays above the main window.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(261, 113);

    ProgressLabel = new QLabel(QStringLiteral("Прогресс"), this);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    ProgressLabel->setGeometry(4, 0, 253, 41);
    ProgressLabel->setAlignment(Qt::AlignCenter);
    ProgressLabel->setWordWrap(true);

    ProgressGauge = new QProgressBar(this);
    ProgressGauge->setObjectName(QStringLiteral("ProgressGauge"));
    ProgressGauge->setGeometry(20, 44, 220, 25);
    ProgressGauge->setRange(0, 100);
    ProgressGauge->setValue(0);
    ProgressGauge->setTextVisible(true);
    ProgressGauge->setFormat(QStringLiteral("%p%"));
    ProgressGauge->setAlignment(Qt::AlignCenter);

    BitBtn1 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(93, 78, 75, 27);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { CancelPressed = true; });
}

void TProgressForm::SetLabel(const QString &text) {
    // Long device paths break after their separators, where a plain word wrap cannot.
    QString shown = text;
    shown.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    ProgressLabel->setText(shown);
}
void TProgressForm::SetGauge(int percent) { ProgressGauge->setValue(percent); }
void TProgressForm::SetGaugeVisible(bool visible) {
    ProgressGauge->setVisible(visible);
    // Without the gauge, the text may use its room (a reason on further lines).
    ProgressLabel->setGeometry(4, 0, 253, visible ? 41 : 76);
}
void TProgressForm::SetCancelVisible(bool visible) { BitBtn1->setVisible(visible); }

void TProgressForm::closeEvent(QCloseEvent *event) {
    // The transfer decides when the window goes; closing it by hand means Cancel.
    if (BitBtn1->isVisible()) CancelPressed = true;
    event->ignore();
}

void TProgressForm::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        if (BitBtn1->isVisible()) CancelPressed = true;
        return; // never closes the window
    }
    QDialog::keyPressEvent(event);
}
