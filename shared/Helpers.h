#pragma once
#include <QDateTime>
#include <QString>
#include <functional>

// The clock of both programs. Tests replace it to make stored times deterministic;
// an empty function restores the real clock.
QDateTime Now();
void SetClock(std::function<QDateTime()> clock);

// 1-based position of the last occurrence of WrkChar in WrkString; -1 when it does not occur.
int InStrRev(const QString& WrkString, QChar WrkChar);

// Local date and time as stored in data files and list entries: locale short date, one
// blank, locale long time; the time part is left out at exactly midnight.
QString DateTimeText(const QDateTime& when = Now());

// A byte count with the locale's thousands separator and no decimals; empty for 0.
// Callers append " Bytes" where they show it.
QString SizeText(qint64 bytes);
