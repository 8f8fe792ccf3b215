// Start-up placeholder: opens the main frame until the application object takes over.
#include <wx/app.h>
#include <wx/frame.h>

#include <clocale>
#include <locale>

class LintradoSmokeApp : public wxApp
{
public:
    bool OnInit() override
    {
        // Character classes of the regex engine follow the global locale.
        std::setlocale(LC_CTYPE, "C.UTF-8");
        std::locale::global(std::locale("C.UTF-8"));
        SetVendorName("Korvendel");
        SetAppName("Lintrado");
        auto* pFrame = new wxFrame(nullptr, wxID_ANY, "Lintrado", wxDefaultPosition, wxSize(1000, 700));
        pFrame->Show();
        return true;
    }
};

wxIMPLEMENT_APP(LintradoSmokeApp);
