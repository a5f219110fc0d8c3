// Placeholders for branches of the message dispatch whose features are being built in their
// own units (trees and viewer; send, receive and get). Whoever defines one of these in its
// real unit removes it from here.
#include "FerroxM.h"

#include <QFileInfo>

#include "Resource.h"
