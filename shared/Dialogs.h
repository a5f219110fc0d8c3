#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

class QWidget;

// Every question, notice, error report, picker and input box of both programs goes through
// here. A real run shows real Qt dialogs; a test scripts the answers beforehand and reads
// back what was shown. Questions follow one rule: only the answer No refuses.
namespace Dialogs {

enum class Answer { Yes, No, Cancel, Ok };

// Warning-kind question with Yes and No.
Answer Question(QWidget* parent, const QString& text, const QString& detail = {});
// Warning-kind question with Yes, No and Cancel.
Answer QuestionYesNoCancel(QWidget* parent, const QString& text, const QString& detail = {});
// Confirmation-kind question with Yes and No.
Answer Confirm(QWidget* parent, const QString& text);
// Warning with OK.
void Notice(QWidget* parent, const QString& text, const QString& detail = {});
// Plain message with OK.
void Message(QWidget* parent, const QString& text);
// The error report of a failed operation.
void ErrorReport(QWidget* parent, const QString& text);

// Pickers: an empty result means the user cancelled.
QString ChooseFolder(QWidget* parent, const QString& caption, const QString& startDir);
QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter = {});
QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter = {});
// Input box; ok is false when cancelled.
QString Input(QWidget* parent, const QString& caption, const QString& prompt,
              const QString& defaultText, bool* ok);

// ---- scripting, for tests ----
struct Shown {
    QString kind; // "question", "question3", "confirm", "notice", "message", "error",
                  // "folder", "open", "save", "input"
    QString text;
    QString detail;
};
// Once scripted, no dialog is ever shown: scripted answers are used in order, and an
// unscripted question is answered Yes (pickers: empty, input: cancelled).
void SetScripted(bool on);
bool IsScripted();
void SetNextAnswer(Answer a);
void SetNextFileName(const QString& path); // for folder, open and save pickers
void SetNextText(const QString& text, bool ok = true);
const QVector<Shown>& Log();
void ClearLog();
// Drops unused scripted answers and the log.
void Reset();

} // namespace Dialogs
