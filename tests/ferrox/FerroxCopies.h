#pragma once
// Copies of the transfer program in one test process, each with its own data folder, finding
// each other on loopback (the test environment keeps the search on 127.255.255.255 and a
// discovery port of the test's own).
#include "Dialogs.h"
#include "FerroxM.h"
#include "FerroxWindows.h"
#include "SetOptions.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <memory>

#include "Manager.h"
#include "Profile.h"
#include "Resource.h"

// One copy of the program with its own data folder.
struct Copy {
    explicit Copy(const QString& user, int number,
                  const std::function<void(TFerroxM1&)>& before = {}) {
        windows = std::make_unique<FerroxWindows>(dir.path());
        w = windows->FerroxM1.get();
        w->RandomNumber = [number] { return number; };
        w->LOCAL_USER = user;
        w->CONNECTSTRT_FLG = false; // the tests start each search themselves
        if (before)
            before(*w);
        w->show();
        received = std::make_unique<QSignalSpy>(w->TetheringAppProfile1,
                                                &tether::Profile::resourceReceived);
    }
    QStringList users() const {
        QStringList out;
        for (int i = 0; i < w->ListBox3->count(); ++i)
            out << w->ListBox3->item(i)->text();
        return out;
    }
    QStringList boxUsers() const {
        QStringList out;
        for (int i = 0; i < w->PeerBox()->count(); ++i)
            out << w->PeerBox()->itemText(i);
        return out;
    }
    QStringList listBox5() const {
        QStringList out;
        for (int i = 0; i < windows->SetOptn1->ListBox5->count(); ++i)
            out << windows->SetOptn1->ListBox5->item(i)->text();
        return out;
    }
    QStringList drives2() const {
        QStringList out;
        for (int i = 0; i < w->CMBDRIVE2->count(); ++i)
            out << w->CMBDRIVE2->itemText(i);
        return out;
    }
    QStringList drives() const {
        QStringList out;
        for (int i = 0; i < w->CMBDRIVE->count(); ++i)
            out << w->CMBDRIVE->itemText(i);
        return out;
    }
    // Hints of everything this copy received since the last call.
    QStringList takeHints() {
        QStringList out;
        for (const QList<QVariant>& args : std::as_const(*received))
            out << args.first().value<tether::Resource>().hint();
        received->clear();
        return out;
    }

    TempFolder dir;
    std::unique_ptr<FerroxWindows> windows;
    TFerroxM1* w = nullptr;
    std::unique_ptr<QSignalSpy> received;
};

// Waits until no message has arrived anywhere for a while.
inline void settle(std::initializer_list<Copy*> copies, int quietMs = 800) {
    auto total = [&] {
        qsizetype n = 0;
        for (Copy* c : copies)
            n += c->received->size();
        return n;
    };
    qsizetype last = -1;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
        last = total();
        QTest::qWait(quietMs);
        if (total() == last)
            return;
    }
}

inline bool listed(Copy& a, Copy& b) {
    a.w->FindList();
    return QTest::qWaitFor([&] { return a.w->ListBox3->count() > 0 && b.w->ListBox3->count() > 0; },
                           5000);
}

inline void sendText(Copy& from, const QStringList& lines) {
    from.w->Memo1->Lines = lines;
    from.w->SendWorkList();
}

inline QString MakePicture(const TempFolder& dir, const QString& name) {
    QImage img(16, 12, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    const QString path = dir.file(name);
    img.save(path, "PNG");
    return path;
}
