#pragma once
#include "OptionsHost.h"

class TFerroxM1;

// The options dialog's view of the transfer program's main window.
class FerroxOptionsHost : public OptionsHost {
public:
    explicit FerroxOptionsHost(TFerroxM1& main) : m(main) {}

    QWidget* HostWindow() override;
    OptionFields Fields() override;
    void SaveOptions() override;
    bool SaveUserEntry(const QString& name, bool blocked) override;
    void DeleteUserEntry(qint64 id) override;
    QVector<UserList::Entry> UserEntries() override;
    bool SetStyle(int index) override;
    QFont StyleFont() override;
    QColor StyleTextColor() override;
    void ShowHelp() override;
    void FindList() override;
    QString ManagerText() override;
    void SetManagerText(const QString& text) override;
    bool ConnectToPeer(int position) override;
    void EnableStartBtn() override;
    void ClearWorkList() override;
    void ShowStatus(const QString& text) override;

protected:
    TFerroxM1& m;
};
