#pragma once
#include "DataFile.h"

// The record layouts of the programs' data files. The field order is part of the format.
const TableLayout& UserListLayout();       // ConfigUsers.cds, both programs
const TableLayout& FerroxOptionsLayout();  // Options2.cds
const TableLayout& ParlovaOptionsLayout(); // Options.cds (no UseStyleFont)

inline const char* const kUserListFile = "ConfigUsers.cds";
inline const char* const kFerroxOptionsFile = "Options2.cds";
inline const char* const kParlovaOptionsFile = "Options.cds";
