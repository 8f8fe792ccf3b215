#include "app/StatisticsPages.h"

namespace
{
const char* const kFileSeparator = "<hr class=\"fileseperator\"/>";
const char* const kProjectSeparator = "<hr class=\"projectseperator\"/>";
const char* const kFileSeparatorStyle = ".fileseperator {color: red;}\n";
const char* const kProjectSeparatorStyle = ".projectseperator {color: blue;}\n";

wxString MakePage(const wxString& sStyles, const wxString& sBody)
{
    wxString s;
    s.reserve(sBody.length() + 512);
    s += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\">\n";
    s += "<html>\n";
    s += "<head>\n";
    s += "<style type=\"text/css\">\n";
    s += ".head {font-weight: bold;}\n";
    s += sStyles;
    s += "</style>\n";
    s += "</head>\n";
    s += "<body style=\"background: white; color: black\">\n";
    s += sBody;
    s += "</body>\n";
    s += "</html>\n";
    return s;
}

// A project's total, two file separators and its files: the body of a project page and one
// block of the full page.
wxString ProjectBlock(const tcProjectStatistics& project, CVRMemDocStatistics& total)
{
    wxString sFiles;
    for (size_t i = 0; i < project.aFiles.size(); ++i)
    {
        if (i > 0)
            sFiles += kFileSeparator;
        sFiles += project.aFiles[i].GetHTML();
    }
    total = tProjectTotal(project);
    return total.GetHTML() + kFileSeparator + kFileSeparator + sFiles;
}
} // namespace

CVRMemDocStatistics tProjectTotal(const tcProjectStatistics& project)
{
    CVRMemDocStatistics total;
    for (const CVRMemDocStatistics& file : project.aFiles)
        total = total.Merge(file);
    total.SetFileName(project.sFileName);
    return total;
}

wxString tMakeFileStatisticsPage(const CVRMemDocStatistics& file)
{
    return MakePage(wxString(), file.GetHTML());
}

wxString tMakeProjectStatisticsPage(const tcProjectStatistics& project)
{
    CVRMemDocStatistics total;
    return MakePage(kFileSeparatorStyle, ProjectBlock(project, total));
}

wxString tMakeFullStatisticsPage(const std::vector<tcProjectStatistics>& aProjects)
{
    CVRMemDocStatistics grandTotal;
    wxString sProjects;
    for (size_t n = 0; n < aProjects.size(); ++n)
    {
        CVRMemDocStatistics total;
        sProjects += ProjectBlock(aProjects[n], total);
        if (n + 1 < aProjects.size())
            sProjects += kProjectSeparator;
        grandTotal = grandTotal.Merge(total);
    }
    // Merge leaves the name empty: the grand total is nobody's.
    return MakePage(wxString(kFileSeparatorStyle) + kProjectSeparatorStyle,
                    grandTotal.GetHTML() + kProjectSeparator + kProjectSeparator + sProjects);
}
