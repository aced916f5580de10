#include "FakePrompts.h"

TFakePrompts::TFakePrompts() { SetPrompts(this); }
TFakePrompts::~TFakePrompts() { SetPrompts(nullptr); }

QStringList TFakePrompts::Texts(Kind kind) const {
    QStringList out;
    for (const Record &r : Log)
        if (r.kind == kind) out << r.text;
    return out;
}

void TFakePrompts::Add(Kind kind, const QString &text) {
    Log.append({kind, text});
    if (OnPrompt) OnPrompt(Log.last());
}

void TFakePrompts::ShowError(const QString &text) {
    Add(ErrorBox, text);
}
void TFakePrompts::ShowInformation(const QString &text) {
    Add(InformationBox, text);
}
void TFakePrompts::ShowApplicationError(const QString &text) {
    Add(ApplicationErrorBox, text);
}

bool TFakePrompts::Confirm(const QString &text) {
    Add(ConfirmBox, text);
    if (ConfirmAnswers.isEmpty()) {
        ++Unanswered;
        return false;
    }
    return ConfirmAnswers.takeFirst();
}

QString TFakePrompts::NextFile(Kind kind, const TFileDialogOptions &options) {
    LastDialog = options;
    Add(kind, options.filter);
    if (FileNames.isEmpty()) {
        ++Unanswered;
        return {};
    }
    return FileNames.takeFirst();
}

QString TFakePrompts::OpenFileName(const TFileDialogOptions &options) { return NextFile(OpenDialog, options); }
QString TFakePrompts::SaveFileName(const TFileDialogOptions &options) { return NextFile(SaveDialog, options); }
