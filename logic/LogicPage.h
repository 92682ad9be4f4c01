#pragma once
// The logic analyser page without its widgets: its settings, Start / Stop of the capture,
// the page timer's tick, scrolling, and .klg save and load. The window reads its controls,
// calls these and shows the results; the view paints View().
//
// Threads: UI thread only. Messages go through platform::ShowMessage.
#include <cstdint>
#include <string>

#include "logic/KlgFile.h"
#include "logic/LogicSettings.h"
#include "logic/WaveView.h"
#include "monitor/HubLayout.h"

extern const char* const kLogicConnectedCaption;     // holds one "%d"
extern const char* const kLogicNotConnectedCaption;  // ends in a space

constexpr int kLogicTimerId = 1;
constexpr int kLogicTimerPeriodMs = 250;

enum class LogicStartResult {
    Started,       // reset, start command sent, capture thread running: start the page timer
    Ignored,       // a capture runs already
    NotConnected,  // message shown
    DeviceError,   // the reset failed: message shown, nothing started
};

struct LogicStatus {
    bool startEnabled = false;
    bool stopEnabled = false;
    bool saveEnabled = false;  // a save while capturing writes the samples that had arrived
    bool loadEnabled = false;  // never while the capture thread writes the buffer a load fills
    std::string caption;
};

struct LogicTick {
    bool repaint = false;   // new samples since the last repaint
    std::string countText;  // what the count shows now (blinking while capturing)
    bool ended = false;     // no capture runs: kill the timer, refresh the status and scroll
};

// The scroll bar: positions 0 .. max, page 1.
struct LogicScroll {
    int32_t max = 1;
    int32_t position = 0;
};

class LogicPage {
public:
    LogicPage();

    // "10400", "50us", "无校验位".
    void LoadDefaults();
    WaveView& View() { return view_; }
    const WaveView& View() const { return view_; }
    unsigned BaudRow() const { return baudRow_; }
    unsigned TimeScaleRow() const { return timeScaleRow_; }
    uint32_t ParityMode() const { return view_.settings.parityMode; }

    // A baud row: bit and frame times from it and the current parity mode.
    void SelectBaud(unsigned row);
    // The parity mode alone; the frame times follow at the next baud choice or load.
    void SelectParity(uint32_t mode);
    // The caller then resets the scroll (which lays out) and repaints.
    void SelectTimeScale(unsigned row);

    // Lays the view out for its client size and sets the range 0 .. count / samplesPerScreen
    // + 1 at position 0, the start of the capture shown.
    LogicScroll ResetScroll(int viewWidth, int viewHeight);
    // One scroll-bar event: the position moved by the code and clamped to 0 .. max; the first
    // sample shown follows it. Returns the new state.
    LogicScroll Scroll(HubScrollCode code, int32_t trackPosition);
    LogicScroll ScrollState() const { return scroll_; }

    // Clears the capture (the caller repaints), resets the chip and starts the capture thread.
    LogicStartResult Start();
    void Stop();
    // One tick of the page timer.
    LogicTick OnTimer();
    std::string CountText() const;
    LogicStatus DeviceStatus() const;
    // false, after the "请先停止" box, while a capture runs.
    bool ConfirmClose() const;

    // The capture with the current choices; the message on failure.
    KlgResult SaveTo(const std::string& path);
    // The file's samples and choices in place of the current ones (the caller shows the
    // choices, resets the scroll and repaints); on failure the message, nothing changed.
    KlgResult LoadFrom(const std::string& path);

private:
    WaveView view_;
    unsigned baudRow_ = kLogicBaudDefault;
    unsigned timeScaleRow_ = kLogicTimeScaleDefault;
    LogicScroll scroll_;
    int viewWidth_ = 0, viewHeight_ = 0;  // of the last ResetScroll
    bool blinkShown_ = false;  // the count was shown at the last tick
};
