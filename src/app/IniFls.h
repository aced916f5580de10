#pragma once
// TMIniFile: the program's configuration file, an INI file beside the program
// named like it with ".ini" (sections "Common", "MainWindow", "RS232").
//
// Booleans are written as 1/0, like the classic INI form. Lines the program does not
// know are kept as they are. Changes reach the disk on UpdateFile() or destruction.

#include <QString>
#include <QStringList>

class QWidget;

class TMIniFile {
public:
    // The program's own file (DefaultPath()); created with a single blank line when missing.
    TMIniFile();
    explicit TMIniFile(const QString &path);
    ~TMIniFile();
    TMIniFile(const TMIniFile &) = delete;
    TMIniFile &operator=(const TMIniFile &) = delete;

    // Beside the program, or in the per-user configuration folder when the program's
    // folder is not writable. TRIPCONF_INI names another file (portable set-ups, tests).
    static QString DefaultPath();

    const QString &FileName() const { return path_; }

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    void RestorePlacement(const QString &section, QWidget *form) const;
    void SavePlacement(const QString &section, const QWidget *form);

    // Writes pending changes; false (with a warning) when the file cannot be written.
    bool UpdateFile();

private:
    void Load();
    int FindSection(const QString &section) const;
    int FindKey(int sectionLine, const QString &key) const;

    QString path_;
    QStringList lines_;
    QString eol_ = QStringLiteral("\n");
    bool dirty_ = false;
};
