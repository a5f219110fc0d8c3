#pragma once

// The pairing password every copy of both programs proves it knows. It keeps strangers'
// programs out of the pairing; it is not a secret between users.
inline constexpr char kPairingPassword[] = "2604";
