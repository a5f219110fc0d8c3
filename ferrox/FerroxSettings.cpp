// The user list, the settings record and the style of the main window.
#include "Application.h"
#include "FerroxM.h"
#include "Layouts.h"
#include "Styles.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

Q_LOGGING_CATEGORY(lcFerrox, "fp.ferrox", QtWarningMsg)

void TFerroxM1::OpenDataFile() {
    const OpenReport r = ClientDataSet1.OpenDataFile(ROOTPATH, FILE_DELIM);
    ReportKeptAside(this, ROOTPATH + FILE_DELIM + QLatin1String(kUserListFile), r);
}

void TFerroxM1::LoadOptions() {
    const QString path = ROOTPATH + FILE_DELIM + QLatin1String(kFerroxOptionsFile);
    const OpenReport r = ClientDataSet2.open(path, FerroxOptionsLayout());
    ReportKeptAside(this, path, r);
    ClientDataSet2.load(FerroxOptionBindings(*this));
    SetStyle(STYLE_INDEX);
}

void TFerroxM1::SaveOptions() {
    ClientDataSet2.save(FerroxOptionBindings(*this));
    SetStyle(STYLE_INDEX);
}

void TFerroxM1::SaveWindowBounds() {
    // A maximised or minimised window is stored with its normal bounds, so the next start
    // opens a usable window rather than one the size of the screen or far off it.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
        const QRect r = normalGeometry();
        WINLEFT = r.x();
        WINTOP = r.y();
        WINHEIGHT = r.height();
        WINWIDTH = r.width();
    } else {
        WINLEFT = x();
        WINTOP = y();
        WINHEIGHT = height();
        WINWIDTH = width();
    }
    ClientDataSet2.saveWindowBounds(WINLEFT, WINTOP, WINHEIGHT, WINWIDTH);
}

bool TFerroxM1::SaveUserEntry(const QString& name, bool blocked) {
    return ClientDataSet1.SaveUserEntry(name, blocked);
}

void TFerroxM1::DeleteUserEntry(qint64 id) {
    ClientDataSet1.DeleteUserEntry(id);
}

bool TFerroxM1::IsUserBlocked(const QString& name) {
    return ClientDataSet1.IsUserBlocked(name);
}

bool TFerroxM1::SetStyle(int WrkIndex) {
    bool ok = true;
    if (WrkIndex >= 0) {
        const QStringList& names = Styles::Names();
        if (WrkIndex >= names.size()) {
            // A stored index from a damaged or newer settings file: keep the current look.
            ok = false;
            Label2->setText(QStringLiteral("Style number %1 does not exist; the look is unchanged.")
                                .arg(WrkIndex));
        } else {
            const Styles::Loaded loaded = Styles::Load(STYLE_PATH, names[WrkIndex]);
            if (loaded.ok) {
                Styles::Apply(loaded.style);
                STYLE_NAME = names[WrkIndex] + QStringLiteral(".Style");
            } else {
                ok = false;
                Label2->setText(QStringLiteral("Style not applied: %1").arg(loaded.error));
            }
        }
        if (!ok)
            qCWarning(lcFerrox) << "style" << WrkIndex << "not applied:" << Label2->text();
    }
    const bool alternate = !USESTYLEFONT_FLG && ALTERROW_FLG;
    DIR1->setAlternatingRowColors(alternate);
    DIR2->setAlternatingRowColors(alternate);
    // Tree pictures grow with the style's text, so the "Large" looks stay in proportion.
    const int iconSide = qMax(16, QFontMetrics(QApplication::font()).height());
    DIR1->setIconSize(QSize(iconSide, iconSide));
    DIR2->setIconSize(QSize(iconSide, iconSide));
    for (QTreeWidgetItemIterator it(DIR1); *it; ++it)
        ApplyTreeItemFont(*it, true);
    for (QTreeWidgetItemIterator it(DIR2); *it; ++it)
        ApplyTreeItemFont(*it, false);
    return ok;
}

void TFerroxM1::ApplyTreeItemFont(QTreeWidgetItem* item, bool local) {
    if (USESTYLEFONT_FLG) {
        // The style's button font; the colour is the tree's own text colour of the style,
        // because a style may put light button text on a light list.
        const QFont button = TSendBtn->font();
        QFont f = item->treeWidget() ? item->treeWidget()->font() : QFont();
        f.setFamily(button.family());
        f.setPointSizeF(button.pointSizeF());
        if (local) {
            f.setBold(button.bold());
            f.setItalic(button.italic());
        }
        item->setFont(0, f);
        item->setData(0, Qt::ForegroundRole, QVariant());
    } else {
        QFont f(FONT_NAME);
        f.setPointSizeF(FONT_SIZE > 0 ? FONT_SIZE : 13);
        item->setFont(0, f);
        item->setForeground(0, QColor::fromRgba(FONT_COLOR));
    }
}
