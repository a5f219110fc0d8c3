// Finding, pairing with and listing peers over the LAN facility.
//
// The start-up calls both steps already; they do their work once the main window is wired to
// tether/ (manager and profile, the peer search and the user list).
#include "FerroxM.h"

void TFerroxM1::EnableTethering() {
    // Not wired yet: the profile text is ready in PROFILE_TEXT for when it is.
}

void TFerroxM1::FindList() {
    // Not wired yet: no peer search is started.
}
