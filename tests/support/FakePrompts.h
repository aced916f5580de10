#pragma once
// Scripted prompts for tests: answers come from queues, every prompt is recorded.

#include "base/Prompts.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class TFakePrompts final : public TUserPrompts {
public:
    enum Kind { ErrorBox, InformationBox, ConfirmBox, ApplicationErrorBox, OpenDialog, SaveDialog };
    struct Record {
        Kind kind;
        QString text; // message, or the dialog's filter
    };

    TFakePrompts();  // installs itself
    ~TFakePrompts() override; // puts the silent prompts back

    // Answers, taken in order. A prompt with no scripted answer gets "No" or a
    // cancelled dialog and is counted in Unanswered.
    QList<bool> ConfirmAnswers;
    QStringList FileNames; // empty string = cancel

    QList<Record> Log;
    // Called for every prompt as it is asked, once it is logged.
    std::function<void(const Record &)> OnPrompt;
    int Unanswered = 0;
    TFileDialogOptions LastDialog;

    QStringList Texts(Kind kind) const;
    int Count(Kind kind) const { return int(Texts(kind).size()); }
    void Clear() { Log.clear(); }

    void ShowError(const QString &text) override;
    void ShowInformation(const QString &text) override;
    bool Confirm(const QString &text) override;
    void ShowApplicationError(const QString &text) override;
    QString OpenFileName(const TFileDialogOptions &options) override;
    QString SaveFileName(const TFileDialogOptions &options) override;

private:
    void Add(Kind kind, const QString &text);
    QString NextFile(Kind kind, const TFileDialogOptions &options);
};
