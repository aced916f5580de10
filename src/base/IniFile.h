#pragma once
// A classic INI file: sections, key=value lines, case-insensitive names. Booleans are
// written as 1/0. Lines the program does not know are kept byte for byte, whatever
// their encoding and line ends (CR LF, LF or a lone CR). Changes reach the disk on
// UpdateFile() or destruction (through a temporary file).

#include <QByteArray>
#include <QString>
#include <vector>

class TIniFile {
public:
    explicit TIniFile(const QString &path);
    virtual ~TIniFile();
    TIniFile(const TIniFile &) = delete;
    TIniFile &operator=(const TIniFile &) = delete;

    const QString &FileName() const { return path_; }

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    int ReadInteger(const QString &section, const QString &key, int def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    // Writes pending changes; false (with a warning) when the file cannot be written,
    // which keeps the old file. LastError() then tells why, and destruction does not
    // try again.
    bool UpdateFile();
    const QString &LastError() const { return lastError_; }
    // Why the file could not be read (a pipe, a device, a folder, unreadable); empty
    // when it was read or does not exist. Such a file reads as empty and is never
    // written.
    const QString &LoadError() const { return loadError_; }

protected:
    void Load();

private:
    struct TLine {
        QByteArray text; // as in the file
        QByteArray eol;  // its own line end; empty for a last line without one
    };

    int FindSection(const QString &section) const;
    int FindKey(int sectionLine, const QString &key) const;
    void Insert(int at, const QString &text);

    QString path_;
    std::vector<TLine> lines_;
    QByteArray eol_ = "\n"; // for new lines: the file's own
    bool dirty_ = false;
    QString lastError_;
    QString loadError_;
};
