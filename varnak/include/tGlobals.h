#pragma once

class tcNode;
class tcEntry;
class tcLanguage;
class tcStyle;
class tcAttribute;

// The library's current items, which scripts read and set while the library sorts, styles or walks
// a group. None is owned; the library itself only resets them to null. Main thread only.
extern tcNode* gCurrentNode;
extern tcEntry* gCurrentEntry;
// The section being sorted and the two entries being compared.
extern tcLanguage* gCurrentSortSection;
extern tcEntry* gCurrentSortCmp1;
extern tcEntry* gCurrentSortCmp2;
// The style and style attribute being applied.
extern tcStyle* gCurrentStyle;
extern tcAttribute* gCurrentStyleAttribute;
// The index of the current item of a group and the group's item count (-1 and 0 outside a group).
extern int gCurrentGroupItemIndex;
extern int gCurrentGroupItemCount;

// While set, edits do not stamp the change date and user attributes (tSetChangedTimestamp does
// nothing).
extern bool g_bAdminNoUpdateTimestamps;

// The zoom level in percent, its default and its range.
extern int g_nZoom;
extern int g_nZoomDefault;
extern int g_nZoomMin;
extern int g_nZoomMax;

// The zoom level as a percentage of the default (100 at the default).
int tGetZoomLevelPercentage();
// The zoom level as a factor of the default (1.0 at the default).
double tGetZoomFactor();
