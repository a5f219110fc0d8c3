#include "Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLoggingCategory>
#include <QMessageBox>
#include <deque>

Q_LOGGING_CATEGORY(lcDialogs, "fp.dialogs", QtWarningMsg)

namespace Dialogs {
namespace {

struct Script {
    bool on = false;
    std::deque<Answer> answers;
    std::deque<QString> fileNames;
    std::deque<std::pair<QString, bool>> texts;
    QVector<Shown> log;
};

Script& script() {
    static Script s;
    return s;
}

void record(const char* kind, const QString& text, const QString& detail = {}) {
    script().log.push_back({QString::fromLatin1(kind), text, detail});
    qCDebug(lcDialogs) << kind << text;
}

Answer scriptedAnswer(Answer fallback) {
    Script& s = script();
    if (s.answers.empty())
        return fallback;
    const Answer a = s.answers.front();
    s.answers.pop_front();
    return a;
}

QString scriptedFileName() {
    Script& s = script();
    if (s.fileNames.empty())
        return {};
    QString f = s.fileNames.front();
    s.fileNames.pop_front();
    return f;
}

QString appTitle() {
    return QApplication::applicationDisplayName().isEmpty()
               ? QApplication::applicationName()
               : QApplication::applicationDisplayName();
}

Answer box(QWidget* parent, QMessageBox::Icon icon, const QString& text, const QString& detail,
           QMessageBox::StandardButtons buttons) {
    QMessageBox mb(icon, appTitle(), text, buttons, parent);
    if (!detail.isEmpty())
        mb.setDetailedText(detail);
    switch (mb.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::Ok;
    }
}

} // namespace

Answer Question(QWidget* parent, const QString& text, const QString& detail) {
    record("question", text, detail);
    if (script().on)
        return scriptedAnswer(Answer::Yes);
    return box(parent, QMessageBox::Warning, text, detail, QMessageBox::Yes | QMessageBox::No);
}

Answer QuestionYesNoCancel(QWidget* parent, const QString& text, const QString& detail) {
    record("question3", text, detail);
    if (script().on)
        return scriptedAnswer(Answer::Yes);
    return box(parent, QMessageBox::Warning, text, detail,
               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

Answer Confirm(QWidget* parent, const QString& text) {
    record("confirm", text);
    if (script().on)
        return scriptedAnswer(Answer::Yes);
    return box(parent, QMessageBox::Question, text, {}, QMessageBox::Yes | QMessageBox::No);
}

void Notice(QWidget* parent, const QString& text, const QString& detail) {
    record("notice", text, detail);
    if (!script().on)
        box(parent, QMessageBox::Warning, text, detail, QMessageBox::Ok);
}

void Message(QWidget* parent, const QString& text) {
    record("message", text);
    if (!script().on)
        box(parent, QMessageBox::NoIcon, text, {}, QMessageBox::Ok);
}

void ErrorReport(QWidget* parent, const QString& text) {
    record("error", text);
    if (!script().on)
        box(parent, QMessageBox::Critical, text, {}, QMessageBox::Ok);
}

QString ChooseFolder(QWidget* parent, const QString& caption, const QString& startDir) {
    record("folder", caption, startDir);
    if (script().on)
        return scriptedFileName();
    return QFileDialog::getExistingDirectory(parent, caption, startDir);
}

QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter) {
    record("open", caption, dir);
    if (script().on)
        return scriptedFileName();
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter) {
    record("save", caption, dir);
    if (script().on)
        return scriptedFileName();
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

QString Input(QWidget* parent, const QString& caption, const QString& prompt,
              const QString& defaultText, bool* ok) {
    record("input", prompt, defaultText);
    if (script().on) {
        Script& s = script();
        if (s.texts.empty()) {
            if (ok)
                *ok = false;
            return {};
        }
        auto [text, accepted] = s.texts.front();
        s.texts.pop_front();
        if (ok)
            *ok = accepted;
        return accepted ? text : QString();
    }
    return QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, defaultText, ok);
}

void SetScripted(bool on) {
    script().on = on;
}
bool IsScripted() {
    return script().on;
}
void SetNextAnswer(Answer a) {
    script().answers.push_back(a);
}
void SetNextFileName(const QString& path) {
    script().fileNames.push_back(path);
}
void SetNextText(const QString& text, bool ok) {
    script().texts.emplace_back(text, ok);
}
const QVector<Shown>& Log() {
    return script().log;
}
void ClearLog() {
    script().log.clear();
}

void Reset() {
    Script& s = script();
    s.answers.clear();
    s.fileNames.clear();
    s.texts.clear();
    s.log.clear();
}

} // namespace Dialogs
