#include "ShotHook.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>

void InstallShotHook(QWidget* mainWindow,
                     const std::function<void(const QString& styleName)>& applyStyle) {
    const QString out = qEnvironmentVariable("FP_SHOT");
    if (out.isEmpty() || !mainWindow)
        return;
    const QString windowName = qEnvironmentVariable("FP_SHOT_WINDOW");
    const QString style = qEnvironmentVariable("FP_SHOT_STYLE");
    // Give the first show, the style and the first listings time to settle before the picture.
    QTimer::singleShot(1500, mainWindow, [=] {
        if (!style.isEmpty() && applyStyle)
            applyStyle(style);
        QWidget* target = mainWindow;
        if (!windowName.isEmpty() && windowName != mainWindow->objectName()) {
            target = nullptr;
            const auto tops = QApplication::topLevelWidgets();
            for (QWidget* w : tops)
                if (w->objectName() == windowName)
                    target = w;
            if (!target) {
                std::fprintf(stderr, "shot: no window named %s\n", qPrintable(windowName));
                mainWindow->close();
                return;
            }
            target->show();
            target->raise();
        }
        QTimer::singleShot(700, mainWindow, [=] {
            QPixmap pic = target->grab();
            if (!pic.save(out, "PNG"))
                std::fprintf(stderr, "shot: cannot write %s\n", qPrintable(out));
            mainWindow->close();
        });
    });
}
