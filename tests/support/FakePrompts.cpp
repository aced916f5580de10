#include "FakePrompts.h"

TFakePrompts::TFakePrompts() { SetPrompts(this); }
TFakePrompts::~TFakePrompts() { SetPrompts(nullptr); }

QStringList TFakePrompts::Texts(Kind kind) const {
    QStringList out;
    for (const Record &r : Log)
        if (r.kind == kind) out << r.text;
    return out;
}

void TFakePrompts::ShowError(const QString &text) { Log.append({ErrorBox, text}); }
void TFakePrompts::ShowInformation(const QString &text) { Log.append({InformationBox, text}); }
void TFakePrompts::ShowApplicationError(const QString &text) { Log.append({ApplicationErrorBox, text}); }

bool TFakePrompts::Confirm(const QString &text) {
    Log.append({ConfirmBox, text});
    if (ConfirmAnswers.isEmpty()) {
        ++Unanswered;
        return false;
    }
    return ConfirmAnswers.takeFirst();
}

QString TFakePrompts::NextFile(Kind kind, const TFileDialogOptions &options) {
    Log.append({kind, options.filter});
    LastDialog = options;
    if (FileNames.isEmpty()) {
        ++Unanswered;
        return {};
    }
    return FileNames.takeFirst();
}

QString TFakePrompts::OpenFileName(const TFileDialogOptions &options) { return NextFile(OpenDialog, options); }
QString TFakePrompts::SaveFileName(const TFileDialogOptions &options) { return NextFile(SaveDialog, options); }
