#pragma once
// Message boxes and file dialogs, behind one small interface so that every
// workflow can be driven by tests with scripted answers.

#include <QString>

struct TFileDialogOptions {
    QString title;
    QString directory;     // initial folder
    QString filter;        // Qt form: "Description (*.ext)"
    QString defaultSuffix; // appended to a name typed without extension
    bool mustExist = false;
};

class TUserPrompts {
public:
    virtual ~TUserPrompts() = default;

    // Error box: caption "Error", error icon, OK.
    virtual void ShowError(const QString &text) = 0;
    // Information box: caption "Information", OK.
    virtual void ShowInformation(const QString &text) = 0;
    // Confirmation box: caption "Confirm", "&Yes" and "&No"; only Yes is consent.
    virtual bool Confirm(const QString &text) = 0;
    // The application's own error box (its title as caption, OK) for errors that no
    // command handled itself.
    virtual void ShowApplicationError(const QString &text) = 0;
    // Empty result: the user cancelled.
    virtual QString OpenFileName(const TFileDialogOptions &options) = 0;
    virtual QString SaveFileName(const TFileDialogOptions &options) = 0;
};

// The prompts in use. There is always one: until the application installs its
// own, a silent one that consents to nothing and picks no file.
TUserPrompts &Prompts();
// Installs prompts (not owned); nullptr goes back to the silent ones.
void SetPrompts(TUserPrompts *prompts);
