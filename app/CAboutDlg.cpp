#include "app/CAboutDlg.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "app/ResourceIds.h"

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, IDD_ABOUTBOX, wxString::FromUTF8("关于 VR3526Kits")) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(wxART_INFORMATION, wxART_MESSAGE_BOX)),
             0, wxALL, 10);
    row->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8("VR3526Kits 1.0 版")), 1,
             wxALIGN_CENTER_VERTICAL | wxALL, 10);
    row->Add(new wxButton(this, wxID_OK, wxString::FromUTF8("确定")), 0,
             wxALIGN_CENTER_VERTICAL | wxALL, 10);
    SetSizerAndFit(row);
}
