#pragma once
#include <QString>
#include <QTemporaryDir>

// A folder of its own for one test, removed afterwards.
class TempFolder {
public:
    TempFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    // Writes bytes to a file below the folder (parents created); returns its path.
    QString write(const QString& relative, const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir;
};

// Scripts every dialog for the lifetime of the object, and forgets the script afterwards.
class ScriptedDialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs();
};

// Texts of the dialogs shown so far, of one kind ("question", "notice", ...), in order.
QStringList ShownTexts(const QString& kind);
