#include "FerroxWindows.h"
#include "DspFile.h"
#include "FerroxM.h"
#include "FerroxOptionsHost.h"
#include "HelpWin.h"
#include "SelFoldr.h"
#include "SetOptions.h"

FerroxWindows::FerroxWindows(const QString& rootPath) {
    FerroxM1 = std::make_unique<TFerroxM1>(rootPath);
    SetOptn1 = std::make_unique<TSetOptn1>(QStringLiteral("Ferrox Options"));
    DspFile1 = std::make_unique<TDspFile1>(FerroxM1.get());
    SelFldr1 = std::make_unique<TSelFldr1>(FerroxM1.get());
    HelpWin1 = std::make_unique<THelpWin1>(
        QStringLiteral("Ferrox Help"),
        QStringList{QStringLiteral("Introduction"), QStringLiteral("Directories"),
                    QStringLiteral("View Files"), QStringLiteral("Send Files"),
                    QStringLiteral("Get Files"), QStringLiteral("Options"),
                    QStringLiteral("About")});

    TFerroxM1* main = FerroxM1.get();
    main->SetOptn1 = SetOptn1.get();
    main->DspFile1 = DspFile1.get();
    main->SelFldr1 = SelFldr1.get();
    main->HelpWin1 = HelpWin1.get();
    // Only the main window's closing ends the program.
    for (QWidget* w :
         {static_cast<QWidget*>(SetOptn1.get()), static_cast<QWidget*>(DspFile1.get()),
          static_cast<QWidget*>(SelFldr1.get()), static_cast<QWidget*>(HelpWin1.get())})
        w->setAttribute(Qt::WA_QuitOnClose, false);
    // The help window opens where the main window stands at start.
    HelpWin1->move(main->pos());

    // The options dialog and the help window work on the main window's fields.
    SetOptn1->SetHost(std::make_unique<FerroxOptionsHost>(*main));
    HelpWin1->SetRequests({&main->FRMOPTIONS_FLG, &main->FRMDISPLAY_FLG, {}});
}

FerroxWindows::~FerroxWindows() {
    if (FerroxM1) {
        FerroxM1->SetOptn1 = nullptr;
        FerroxM1->DspFile1 = nullptr;
        FerroxM1->SelFldr1 = nullptr;
        FerroxM1->HelpWin1 = nullptr;
    }
}
