#pragma once

// The binding table spells container types as scripts see them ("vector<wxString>"); the generated
// wrappers compile those spellings with these names in scope.

#include <set>
#include <string>
#include <utility>
#include <vector>

using std::pair;
using std::set;
using std::string;
using std::vector;
