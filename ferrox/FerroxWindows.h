#pragma once
#include <QString>
#include <memory>

class TDspFile1;
class TFerroxM1;
class THelpWin1;
class TSelFldr1;
class TSetOptn1;

// The program's five windows, created once in this order and kept until the end: the main
// window, the options dialog, the file viewer, the select-folder dialog and the help window.
// Each reaches the others through the main window's references. Closing the main window
// ends the program; the others do not keep it running.
struct FerroxWindows {
    // rootPath: the data folder (empty: the current directory). Throws Failure when the main
    // window cannot make its folders.
    explicit FerroxWindows(const QString& rootPath = {});
    ~FerroxWindows();
    FerroxWindows(const FerroxWindows&) = delete;
    FerroxWindows& operator=(const FerroxWindows&) = delete;

    // Declared in creation order; destroyed the other way round, the main window last.
    std::unique_ptr<TFerroxM1> FerroxM1;
    std::unique_ptr<TSetOptn1> SetOptn1;
    std::unique_ptr<TDspFile1> DspFile1;
    std::unique_ptr<TSelFldr1> SelFldr1;
    std::unique_ptr<THelpWin1> HelpWin1;
};
