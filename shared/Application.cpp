#include "Application.h"
#include "DataFile.h"
#include "Dialogs.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcApp, "fp.app", QtWarningMsg)

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const Failure& e) {
        ReportFailure(activeWindow(), e.message());
    } catch (const std::exception& e) {
        ReportFailure(activeWindow(), QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void ReportFailure(QWidget* parent, const QString& message) {
    qCWarning(lcApp) << "operation failed:" << message;
    Dialogs::ErrorReport(parent, message);
}

void ReportKeptAside(QWidget* parent, const QString& path, const OpenReport& report) {
    if (report.keptAsidePath.isEmpty())
        return;
    Dialogs::Notice(parent,
                    QStringLiteral("The data file %1 could not be read, so it was kept aside as "
                                   "%2 and an empty one is used in its place.")
                        .arg(path, report.keptAsidePath),
                    report.reason);
}
