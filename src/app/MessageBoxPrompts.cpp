#include "app/MessageBoxPrompts.h"

#include "base/DialogFolders.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget *Parent() { return QApplication::activeWindow(); }

void Box(QMessageBox::Icon icon, const QString &caption, const QString &text) {
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, Parent());
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

QString RunFileDialog(const TFileDialogOptions &o, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(Parent(), o.title, DialogFolders::Start(o), o.filter);
    dialog.setAcceptMode(mode);
    dialog.setDefaultSuffix(o.defaultSuffix);
    dialog.setFileMode(o.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The program asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::ReadOnly, o.mustExist);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().constFirst();
    DialogFolders::Remember(o, path);
    return path;
}

} // namespace

void TMessageBoxPrompts::ShowError(const QString &text) { Box(QMessageBox::Critical, QStringLiteral("Error"), text); }

void TMessageBoxPrompts::ShowInformation(const QString &text) {
    Box(QMessageBox::Information, QStringLiteral("Information"), text);
}

bool TMessageBoxPrompts::Confirm(const QString &text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton, Parent());
    QPushButton *yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void TMessageBoxPrompts::ShowApplicationError(const QString &text) {
    Box(QMessageBox::Critical, QApplication::applicationName(), text);
}

QString TMessageBoxPrompts::OpenFileName(const TFileDialogOptions &options) {
    return RunFileDialog(options, QFileDialog::AcceptOpen);
}

QString TMessageBoxPrompts::SaveFileName(const TFileDialogOptions &options) {
    return RunFileDialog(options, QFileDialog::AcceptSave);
}
