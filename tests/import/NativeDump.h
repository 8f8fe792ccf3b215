#pragma once

#include <wx/string.h>

class tcDocument;

// A canonical text of what native dictionary files carry beside the tree: every style set (name,
// per element kind its order items with visibility, every style with all its properties and
// numbering records), then the DTD section (each section's designations, value lists with
// identifiers, items, label sets and labels, the next list identifier, cross-reference types and
// their label sets). Kinds and attributes are named, never shown by address.
wxString DumpStyleSets(const tcDocument& doc);
wxString DumpDTDSection(const tcDocument& doc);
wxString DumpNative(const tcDocument& doc);
