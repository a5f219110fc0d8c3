#pragma once
#include <QString>
#include <functional>

class QWidget;

// For scripts/run and scripts/shot under Xvfb: when FP_SHOT names a PNG file, shows the window
// whose objectName is FP_SHOT_WINDOW (default: the main window) once the main window is up,
// saves its picture and closes the main window the way Quit does. applyStyle receives
// FP_SHOT_STYLE when it is set.
void InstallShotHook(QWidget* mainWindow,
                     const std::function<void(const QString& styleName)>& applyStyle = {});
