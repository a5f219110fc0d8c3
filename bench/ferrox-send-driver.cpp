// Runs one copy of the transfer program without a screen and drives it like a user would, so
// two processes (in two network namespaces, or two benchmark sides) can send to each other.
//
//   ferrox_send_driver --root DIR --user NAME [--number N]
//       [--send FOLDER]      find the peer, check every file of FOLDER in the local tree, Send
//       [--place FOLDER]     answer the placement question No and choose FOLDER
//       [--shot PATH --shot-after-ms MS]   MS after Send, save the window (and the progress
//                            dialog when it is up)
//
// Prints READY, then on the sending side SENDING_AT <ms> and SENT_AT <ms>, on the receiving
// side PLACED_AT <ms> and the files placed; both end with PEAK_RSS_KB <kB>. Exit code 0 on
// success, 1 on a failure or time-out (--timeout-ms, default 600000).
#include "Application.h"
#include "Dialogs.h"
#include "FerroxM.h"
#include "FerroxWindows.h"
#include "PeakMemory.h"
#include "SendProgressDialog.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

namespace {

QString Arg(const QStringList& args, const QString& name, const QString& fallback = {}) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
}

void Say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString Now() {
    return QString::number(QDateTime::currentMSecsSinceEpoch());
}

void SayPeak() {
    Say(QStringLiteral("PEAK_RSS_KB %1").arg(PeakMemoryKb()));
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    const QStringList args = app.arguments();
    const QString root = Arg(args, "--root");
    const QString sendFolder = Arg(args, "--send");
    const QString placeFolder = Arg(args, "--place");
    const QString shot = Arg(args, "--shot");
    const int shotAfter = Arg(args, "--shot-after-ms", "0").toInt();
    const int timeout = Arg(args, "--timeout-ms", "600000").toInt();
    if (root.isEmpty() || (sendFolder.isEmpty() == placeFolder.isEmpty())) {
        std::fprintf(stderr, "usage: ferrox_send_driver --root DIR --user NAME "
                             "(--send FOLDER | --place FOLDER)\n");
        return 2;
    }
    QDir().mkpath(root);
    Dialogs::SetScripted(true);
    FerroxWindows windows(root);
    TFerroxM1* w = windows.FerroxM1.get();
    const int number = Arg(args, "--number", "1").toInt();
    w->RandomNumber = [number] { return number; };
    w->LOCAL_USER = Arg(args, "--user", "Driver");
    w->CONNECTSTRT_FLG = false;
    w->show();
    Say("READY");

    int exitCode = 1;
    QTimer::singleShot(timeout, &app, [&] {
        Say("TIMEOUT " + w->Label2->text());
        app.exit(1);
    });
    // The picture is taken that long after Send is pressed, while the send turns the loop.
    const auto takeShot = [&] {
        w->grab().save(shot);
        if (w->SendProgress1 && w->SendProgress1->isVisible())
            w->SendProgress1->grab().save(QFileInfo(shot).path() + "/progress-" +
                                          QFileInfo(shot).fileName());
        Say("SHOT " + w->Label2->text());
    };

    if (!placeFolder.isEmpty()) {
        QDir().mkpath(placeFolder);
        Dialogs::SetNextAnswer(Dialogs::Answer::No);
        Dialogs::SetNextFileName(placeFolder);
        auto* poll = new QTimer(&app);
        QObject::connect(poll, &QTimer::timeout, &app, [&, poll] {
            bool asked = false;
            for (const Dialogs::Shown& s : Dialogs::Log())
                asked = asked || s.kind == QLatin1String("question");
            if (!asked || w->ListBox2->count() > 0)
                return;
            poll->stop();
            Say("PLACED_AT " + Now());
            for (const Dialogs::Shown& s : Dialogs::Log())
                if (s.kind != QLatin1String("question") && s.kind != QLatin1String("folder"))
                    Say("SHOWN " + s.kind + " " + s.text);
            SayPeak();
            exitCode = 0;
            app.exit(0);
        });
        poll->start(20);
        return app.exec() == 0 ? exitCode : 1;
    }

    // The sending side: search, wait for the peer's drive list, check the files, Send.
    w->FindList();
    auto* poll = new QTimer(&app);
    QObject::connect(poll, &QTimer::timeout, &app, [&, poll] {
        if (w->ListBox3->count() == 0 || w->CMBDRIVE2->count() == 0)
            return;
        poll->stop();
        QTimer::singleShot(500, &app, [&] { // the drive-list exchange ends
            const QFileInfoList files =
                QDir(sendFolder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
            const QString folder = QDir(sendFolder).absolutePath() + QLatin1Char('/');
            for (const QFileInfo& f : files) {
                auto* item = new QTreeWidgetItem(w->DIR1);
                item->setText(0, QStringLiteral("   ") + f.fileName());
                item->setData(0, TFerroxM1::TagTextRole, folder);
                item->setData(0, TFerroxM1::IconIndexRole, 2); // a file
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(0, Qt::Checked);
            }
            w->CURRENT_DIR = 1;
            if (!shot.isEmpty())
                QTimer::singleShot(shotAfter, &app, takeShot);
            Say("SENDING_AT " + Now());
            const bool ok = Guarded(w, [&] { w->TSendBtnClick(); });
            Say("SENT_AT " + Now());
            for (const Dialogs::Shown& s : Dialogs::Log())
                Say("SHOWN " + s.kind + " " + s.text);
            SayPeak();
            // Stay a moment: the peer finishes what it is handling before we say goodbye.
            QTimer::singleShot(1500, &app, [&, ok] {
                exitCode = ok && Dialogs::Log().isEmpty() ? 0 : 1;
                app.exit(exitCode);
            });
        });
    });
    poll->start(20);
    app.exec();
    return exitCode;
}
