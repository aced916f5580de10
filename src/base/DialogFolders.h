#pragma once
// The folder each kind of file dialog was last used in, kept between runs. A kind is
// the file pattern of the dialog's filter ("*.vorng" for settings files): the settings,
// tank, maintenance and journal dialogs each come back where they were last used. A
// kind not used yet starts in the folder its caller names.

#include "base/Prompts.h"

class TIniFile;

namespace DialogFolders {

// The folder the dialog starts in.
QString Start(const TFileDialogOptions &options);
// After the user picked path in such a dialog.
void Remember(const TFileDialogOptions &options, const QString &path);

// Section "Folders" of the configuration file, a key per kind ("vorng=/home/...").
void Load(const TIniFile &ini);
void Save(TIniFile &ini);
void Clear();

} // namespace DialogFolders
