#pragma once
// The window bases of the K-line family, on the window base every page shares
// (pages/shared/ui/PageDialog.h). A page window derives from one, builds its controls and
// binds its own frame fields.

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "pages/kline/UartPageBase.h"
#include "pages/kline/ui/UartPageLayout.h"
#include "pages/shared/ui/PageDialog.h"

class CDialogMainA;
class wxButton;
class wxBoxSizer;
class wxCheckBox;
class wxRadioButton;
class wxTextCtrl;

// Window ids every page of the family uses for its buttons.
enum UartPageButtonId : int {
    IDC_UART_EXIT = IDC_PAGE_EXIT,
    IDC_UART_STOP = IDC_PAGE_STOP,
    IDC_UART_START = IDC_PAGE_START,
    IDC_UART_SEND = IDC_PAGE_SEND,
    IDC_UART_SEND_INIT = 1022,
    IDC_UART_DEFAULTS = 1024,
};

// A hex image byte and its edit.
struct UartHexFieldId {
    int id;
    size_t offset;
    unsigned limit;  // characters; 0: none (the low byte of whatever hex is typed is stored)
};

// The window base of the K-line family: the page's columns over its button row, the
// family's run and send buttons, and its edit messages.
class UartPageDialog : public PageDialog {
public:
    UartPageDialog(CDialogMainA* hub, int id, const char* title);

    // Send and Send with initialisation: the page's own frames.
    virtual void OnBnClickedSendFrame() {}
    virtual void OnBnClickedSendInitFrame() {}

protected:
    // The window's top sizer, the page's columns below it (made when first asked for).
    wxBoxSizer* Top();
    // The page's columns, left to right, under the window's top sizer; FinishLayout adds the
    // button row (NewButtonRow) below them and fits the window.
    wxBoxSizer* NewColumn(int proportion = 0);
    void FinishLayout(std::initializer_list<std::pair<int, const char*>> buttons);

    // The page's buttons, left to right; Start, Stop, Send, Send with initialisation and Exit
    // are bound here.
    wxSizer* NewButtonRow(std::initializer_list<std::pair<int, const char*>> buttons);
    // The run buttons of a page that lays its button row out itself; Send runs
    // OnBnClickedSendFrame.
    void BindFamilyButtons();

    // Writes the bound back without running the handler again, then shows the message.
    void ApplyEdit(wxTextCtrl* edit, const PageEditResult& result);
    // A hex-data edit: every change goes through changed, after() shows what follows from it
    // (count, checksum), then the cut and its message; leaving the edit rewrites it from text().
    void BindHexDataEdit(int id, std::function<PageEditResult(const std::string&)> changed,
                         std::function<std::string()> text, std::function<void()> after = {});

    wxBoxSizer* m_Top = nullptr;      // a note may go above the columns
    wxBoxSizer* m_Columns = nullptr;
};

// The window of a page built on UartPageBase (ISO 14230, KW1281, SCI, user mode, J1708): the
// page operations go to the page's own Start, Stop and Close, and the image's fields, serial
// settings, frame checks, 5-baud group and timers are bound here.
class UartImagePageDialog : public UartPageDialog {
public:
    using UartPageDialog::UartPageDialog;

protected:
    virtual UartPageBase& Base() = 0;

    PageStartResult StartPage() override { return Base().Start(m_pMainDlg); }
    void StopPage() override { Base().Stop(); }
    PageDeviceStatus PageStatus() override { return Base().RefreshDeviceStatus(); }
    void ClosePage() override { Base().Close(); }

    // Radios K1, K2 and K / L of a page that drives the L line, and the check showing ENL.
    void BindKLinePins(const std::vector<wxRadioButton*>& radios, wxCheckBox* enl);

    // The image's fields: bound to their handlers, shown from the image.
    void BindImageFields(std::vector<UartByteFieldControl> bytes, std::vector<UartHexFieldId> hexes);
    void ShowImageFields();
    // The serial-settings group (built by NewSerialSettingsBox into m_Serial), on the page's
    // image and baud row.
    SerialSettingsPage SerialPage();
    // A check that sets or clears bits of one image byte.
    void BindImageBit(wxCheckBox* check, size_t offset, uint8_t mask, std::function<void()> after = {});
    // A choice whose selection goes into a bit field of one image byte.
    void BindImageField(wxChoice* choice, size_t offset, uint8_t mask, std::function<void()> after = {});
    // The frame-check group (built by NewFrameCheckBox into m_Checks): every check and combo
    // writes its bits; with checksumLive CHKSUM and CHKMOD do too and call after.
    void BindFrameChecks(bool checksumLive, std::function<void()> after = {});
    // The 5-baud group (built by NewFiveBaudBox into m_FiveBaud); the trigger address takes
    // addressLimit characters (0: any).
    void BindFiveBaud(unsigned addressLimit);
    // Shows every check and combo of a group from the image.
    void ShowImageControls();
    // The keep-alive and cyclic controls (built into m_Timers); with intervalChecked the
    // interval is raised to 200 ms on leaving its edit.
    void BindTimerControls(bool intervalChecked);
    void ShowTimerControls();

    SerialSettingsControls m_Serial;
    FrameCheckControls m_Checks;
    FiveBaudControls m_FiveBaud;
    TimerControls m_Timers;

private:
    struct ImageBit { wxCheckBox* check; size_t offset; uint8_t mask; };
    struct ImageField { wxChoice* choice; size_t offset; uint8_t mask; };
    std::vector<UartByteFieldControl> m_ByteFields;
    std::vector<UartHexFieldId> m_HexFields;
    std::vector<ImageBit> m_ImageBits;
    std::vector<ImageField> m_ImageFields;
};
