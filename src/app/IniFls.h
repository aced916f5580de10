#pragma once
// TMIniFile: the program's configuration file, an INI file beside the program named
// like it with ".ini" (sections "Common", "MainWindow", "RS232"), plus the saving and
// restoring of a window's placement.

#include "base/IniFile.h"

class QWidget;

class TMIniFile : public TIniFile {
public:
    // The program's own file (DefaultPath()); created with a single blank line when missing.
    TMIniFile();
    explicit TMIniFile(const QString &path);

    // Beside the program, or in the per-user configuration folder when the program's
    // folder is not writable. TRIPCONF_INI names another file (portable set-ups, tests).
    static QString DefaultPath();

    void RestorePlacement(const QString &section, QWidget *form) const;
    void SavePlacement(const QString &section, const QWidget *form);
};
