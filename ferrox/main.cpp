#include "Application.h"
#include "Dialogs.h"
#include "FerroxM.h"
#include "FerroxWindows.h"
#include "ShotHook.h"
#include "Styles.h"

#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGTERM (session log-out) and SIGINT (Ctrl+C) close the main window as Quit does, so the
// window bounds are stored. The handler only writes a byte; the event loop does the rest.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char b = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &b, 1);
}

std::unique_ptr<QSocketNotifier> WatchSignals(QWidget* mainWindow) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return nullptr;
    auto notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, mainWindow, [mainWindow] {
        char b;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &b, 1);
        mainWindow->close();
    });
    struct sigaction sa = {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    return notifier;
}

} // namespace

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ferrox"));

    std::unique_ptr<FerroxWindows> windows;
    try {
        windows = std::make_unique<FerroxWindows>();
    } catch (const Failure& e) {
        Dialogs::ErrorReport(nullptr, e.message());
        std::fprintf(stderr, "ferrox: %s\n", qPrintable(e.message()));
        return 1;
    }
    TFerroxM1* main = windows->FerroxM1.get();
    const auto signalWatch = WatchSignals(main);

    main->show();
    if (qEnvironmentVariableIsSet("FP_SHOT"))
        Guarded(main, [main] { main->PrepareShot(); });
    InstallShotHook(main, [main](const QString& style) {
        const int index = Styles::IndexOf(style);
        if (index < 0) {
            std::fprintf(stderr, "shot: no style named %s\n", qPrintable(style));
            return;
        }
        main->SetStyle(index);
    });
    return app.exec();
}
