#include "ShotHook.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

// Checks every 50 ms until ready() holds or the time is up, then runs then().
void WhenReady(QWidget* context, std::function<bool()> ready, std::function<void(bool)> then,
               int timeoutMs) {
    auto* timer = new QTimer(context);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, context, [=] {
        const bool ok = ready();
        if (!ok && clock->elapsed() <= timeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        then(ok);
    });
    timer->start(50);
}

bool Exposed(QWidget* w) {
    return w && w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed();
}

void Fail(QWidget* mainWindow, const QString& why) {
    std::fprintf(stderr, "shot: %s\n", qPrintable(why));
    mainWindow->close();
    QCoreApplication::exit(1);
}

} // namespace

void InstallShotHook(QWidget* mainWindow,
                     const std::function<void(const QString& styleName)>& applyStyle) {
    const QString out = qEnvironmentVariable("FP_SHOT");
    if (out.isEmpty() || !mainWindow)
        return;
    const QString windowName = qEnvironmentVariable("FP_SHOT_WINDOW");
    const QString style = qEnvironmentVariable("FP_SHOT_STYLE");
    QPointer<QWidget> main(mainWindow);

    // First the main window must be up (its first show applies the stored style and lists
    // the first folder); then the chosen style, then the window to picture.
    WhenReady(
        mainWindow, [main] { return Exposed(main); },
        [=](bool mainUp) {
            if (!main)
                return;
            if (!mainUp)
                std::fprintf(stderr, "shot: the main window was not exposed in time\n");
            if (!style.isEmpty() && applyStyle)
                applyStyle(style);
            QPointer<QWidget> target = main.data();
            if (!windowName.isEmpty() && windowName != main->objectName()) {
                target = nullptr;
                const auto tops = QApplication::topLevelWidgets();
                for (QWidget* w : tops)
                    if (w->objectName() == windowName)
                        target = w;
                if (!target) {
                    Fail(main, QStringLiteral("no window named %1").arg(windowName));
                    return;
                }
                target->show();
                target->raise();
            }
            WhenReady(
                main, [target] { return Exposed(target); },
                [=](bool) {
                    if (!main || !target) {
                        if (main)
                            Fail(main, QStringLiteral("the window went away"));
                        return;
                    }
                    // One more round so that every pending paint and relayout is done.
                    QTimer::singleShot(300, main, [=] {
                        if (!main || !target)
                            return;
                        QApplication::processEvents();
                        const QPixmap pic = target->grab();
                        if (pic.isNull() || !pic.save(out, "PNG")) {
                            Fail(main, QStringLiteral("cannot write %1").arg(out));
                            return;
                        }
                        main->close();
                    });
                },
                10000);
        },
        15000);
}
