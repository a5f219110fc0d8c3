#pragma once
#include "Failure.h"
#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <exception>

// Reports what a handler let escape, as the platform's default error report would, and lets
// the event loop go on. Handlers that run outside an event (called directly, or from a
// lambda connected to a signal) use Guarded.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

void ReportFailure(QWidget* parent, const QString& message);

struct OpenReport;
// Tells the user, in one message, that an unreadable data file was kept aside and where;
// does nothing when the file opened normally.
void ReportKeptAside(QWidget* parent, const QString& path, const OpenReport& report);

template <class F> bool Guarded(QWidget* parent, F&& f) {
    try {
        f();
        return true;
    } catch (const Failure& e) {
        ReportFailure(parent, e.message());
    } catch (const std::exception& e) {
        ReportFailure(parent, QString::fromLocal8Bit(e.what()));
    }
    return false;
}
