#include "base/Prompts.h"

#include <QDebug>

namespace {

// Used before the GUI exists (and by the command-line tool): reports on stderr.
class TSilentPrompts final : public TUserPrompts {
public:
    void ShowError(const QString &text) override { qWarning().noquote() << text; }
    void ShowInformation(const QString &text) override { qInfo().noquote() << text; }
    bool Confirm(const QString &) override { return false; }
    void ShowApplicationError(const QString &text) override { qWarning().noquote() << text; }
    QString OpenFileName(const TFileDialogOptions &) override { return {}; }
    QString SaveFileName(const TFileDialogOptions &) override { return {}; }
};

TSilentPrompts g_silent;
TUserPrompts *g_prompts = &g_silent;

} // namespace

TUserPrompts &Prompts() { return *g_prompts; }

void SetPrompts(TUserPrompts *prompts) { g_prompts = prompts ? prompts : &g_silent; }
