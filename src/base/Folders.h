#pragma once
// Where the program's file dialogs start.

#include <QString>

namespace Folders {

// The folder that holds the program file, where its dialogs traditionally start; the
// user's documents folder when that one takes no files (an installed program).
QString FileDialogStart();

} // namespace Folders
