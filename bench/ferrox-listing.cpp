// ferrox_listing_bench FOLDER FILES ROUNDS
//
// Times the two listings of one folder of FILES files: into the local tree (DIR1, as choosing
// the folder as a drive does) and, as the peer's answer to "START" would arrive, into the
// remote tree (DIR2): the answer built by listing the folder, encoded and decoded as a text
// list, and shown. The network itself is left out; it is measured by tether-stream. Each
// figure includes the first paint of the tree. Prints one table row per round, then the
// medians as "DIR1 <seconds>" and "DIR2 <seconds>".
#include "FerroxM.h"
#include "FerroxWindows.h"
#include "WireText.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

namespace {

// Names of several kinds, so icons and the kind lookup have work to do.
const char* const kExtensions[] = {".txt", ".jpg", ".log", ".mp3", ".doc", ".cds", ".zip", ""};

bool MakeFiles(const QString& folder, int count) {
    QDir dir(folder);
    if (dir.exists() && dir.entryList(QDir::Files).size() == count)
        return true;
    dir.removeRecursively();
    if (!QDir().mkpath(folder))
        return false;
    std::fprintf(stderr, "ferrox-listing: making %d files in %s\n", count, qPrintable(folder));
    for (int i = 0; i < count; ++i) {
        QFile f(folder + QStringLiteral("/file%1%2")
                             .arg(i, 6, 10, QLatin1Char('0'))
                             .arg(QLatin1String(kExtensions[i % 8])));
        if (!f.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: ferrox_listing_bench FOLDER FILES ROUNDS\n");
        return 2;
    }
    const QString folder = QDir::cleanPath(QString::fromLocal8Bit(argv[1]) + "/files");
    const int files = std::atoi(argv[2]);
    const int rounds = std::max(1, std::atoi(argv[3]));
    if (!MakeFiles(folder, files)) {
        std::fprintf(stderr, "ferrox-listing: cannot make the files in %s\n", qPrintable(folder));
        return 1;
    }

    QTemporaryDir data;
    FerroxWindows windows(data.path());
    TFerroxM1* w = windows.FerroxM1.get();
    w->CONNECTSTRT_FLG = false;
    w->show();
    w->CMBDRIVE->addItem(folder);
    {
        const QSignalBlocker quiet(w->CMBDRIVE);
        w->CMBDRIVE->setCurrentIndex(w->CMBDRIVE->count() - 1);
    }
    QApplication::processEvents();

    std::vector<double> dir1s, dir2s;
    std::printf("%-6s %10s %12s %12s %10s %8s\n", "round", "DIR1 s", "answer s", "shown s",
                "DIR2 s", "items");
    for (int r = 1; r <= rounds; ++r) {
        w->DIR1->clear();
        w->DIR2->clear();
        QApplication::processEvents();

        QElapsedTimer t;
        t.start();
        w->DoDir1(folder);
        w->DIR1->repaint();
        const double dir1 = t.nsecsElapsed() / 1e9;
        const int items1 = w->DIR1->topLevelItemCount();

        // The peer's side: the answer to "START" as it goes on the wire.
        t.restart();
        w->Memo1->Lines.clear();
        w->DIR1ORDIR2_FLG = true;
        w->DoDir1(folder + QLatin1Char('/'));
        w->DIR1ORDIR2_FLG = false;
        const QByteArray wire = wire::EncodeTextList(w->Memo1->Lines);
        const double answer = t.nsecsElapsed() / 1e9;
        // This side: the text list decoded and shown.
        t.restart();
        w->Memo1->Lines = wire::DecodeTextList(wire);
        w->SETFOLDER2 = folder;
        w->ShowRemoteListing();
        w->DIR2->repaint();
        const double shown = t.nsecsElapsed() / 1e9;
        const int items2 = w->DIR2->topLevelItemCount();
        if (items1 != files || items2 != files) {
            std::fprintf(stderr, "ferrox-listing: listed %d and %d items of %d\n", items1, items2,
                         files);
            return 1;
        }
        dir1s.push_back(dir1);
        dir2s.push_back(answer + shown);
        std::printf("%-6d %10.3f %12.3f %12.3f %10.3f %8d\n", r, dir1, answer, shown,
                    answer + shown, items1);
        std::fflush(stdout);
    }
    std::printf("DIR1 %.3f\nDIR2 %.3f\n", Median(dir1s), Median(dir2s));
    return 0;
}
