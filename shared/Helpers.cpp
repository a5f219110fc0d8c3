#include "Helpers.h"
#include <QLocale>

namespace {
std::function<QDateTime()>& clockHook() {
    static std::function<QDateTime()> c;
    return c;
}
} // namespace

QDateTime Now() {
    return clockHook() ? clockHook()() : QDateTime::currentDateTime();
}
void SetClock(std::function<QDateTime()> c) {
    clockHook() = std::move(c);
}

int InStrRev(const QString& WrkString, QChar WrkChar) {
    const qsizetype i = WrkString.lastIndexOf(WrkChar);
    return i < 0 ? -1 : int(i) + 1;
}

QString DateTimeText(const QDateTime& when) {
    const QLocale loc;
    QString text = loc.toString(when.date(), QLocale::ShortFormat);
    if (when.time() != QTime(0, 0))
        text += QLatin1Char(' ') + loc.toString(when.time(), QLocale::LongFormat);
    return text;
}

QString SizeText(qint64 bytes) {
    if (bytes == 0)
        return {};
    QLocale loc;
    loc.setNumberOptions(loc.numberOptions() & ~QLocale::OmitGroupSeparator);
    return loc.toString(bytes);
}
