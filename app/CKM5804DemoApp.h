#pragma once
#include <wx/app.h>

class CMainFrame;

class CKM5804DemoApp : public wxApp {
public:
    bool OnInit() override;
    static void OnAppAbout(wxWindow* parent);
};

// Creates and shows the main frame with its pages; nullptr (the program then ends) when the
// view cannot be created because the USB library is missing.
CMainFrame* CreateMainWindow();
