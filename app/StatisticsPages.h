#pragma once

#include "engine/VRMemDocStatistics.h"

#include <wx/string.h>

#include <vector>

// The statistics pages of the main window, built as whole HTML documents from filled records.
// Pure functions: they read nothing but their arguments.

// One project as the pages need it: its file name (the total of the project is named after it)
// and the records of its files, in file order.
struct tcProjectStatistics
{
    wxString sFileName;
    std::vector<CVRMemDocStatistics> aFiles;
};

// The page of one file: the record alone.
wxString tMakeFileStatisticsPage(const CVRMemDocStatistics& file);

// The page of one project: its total (the sum of its files, named after the project), two file
// separators, then each file's record with a file separator between consecutive files.
wxString tMakeProjectStatisticsPage(const tcProjectStatistics& project);

// The page of all open projects: the grand total (unnamed), two project separators, then each
// project's block as on its project page, with one project separator between consecutive blocks.
wxString tMakeFullStatisticsPage(const std::vector<tcProjectStatistics>& aProjects);

// The sum of a project's files, named after the project.
CVRMemDocStatistics tProjectTotal(const tcProjectStatistics& project);
