// Placeholders for branches of the message dispatch whose features are being built in their
// own units (trees and viewer; send, receive and get). Whoever defines one of these in its
// real unit removes it from here.
#include "FerroxM.h"

#include <QFileInfo>

#include "Resource.h"

qint64 TFerroxM1::GetFileSize(const QString& WrkFilePath) {
    const QFileInfo info(WrkFilePath);
    return info.isFile() ? info.size() : 0;
}

void TFerroxM1::ShowRemoteListing() {
}
void TFerroxM1::ShowRemotePhoto(const QImage&, const QString&) {
}
void TFerroxM1::ShowRemoteText() {
}
QStringList TFerroxM1::BuildTextAnswer(const QString&) {
    return {};
}
void TFerroxM1::ReceiveSentFile(const tether::Resource&) {
}
void TFerroxM1::ReceiveTakenFile(const tether::Resource&) {
}
void TFerroxM1::ServeGetRequest(const tether::Resource&) {
}
