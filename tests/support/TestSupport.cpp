#include "TestSupport.h"
#include "Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempFolder::TempFolder() : m_dir(QDir::tempPath() + QStringLiteral("/fp-test-XXXXXX")) {
}

QString TempFolder::write(const QString& relative, const QByteArray& bytes) const {
    const QString path = m_dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

ScriptedDialogs::ScriptedDialogs() {
    Dialogs::Reset();
    Dialogs::SetScripted(true);
}

ScriptedDialogs::~ScriptedDialogs() {
    Dialogs::Reset();
}

QStringList ShownTexts(const QString& kind) {
    QStringList out;
    for (const Dialogs::Shown& s : Dialogs::Log())
        if (s.kind == kind)
            out << s.text;
    return out;
}
