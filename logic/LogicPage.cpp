#include "logic/LogicPage.h"

#include <algorithm>

#include "device/UsbOperation.h"
#include "logic/LogicWorker.h"
#include "monitor/Connection.h"
#include "pages/shared/BusWorker.h"
#include "pages/shared/PageOps.h"
#include "platform/Message.h"

const char* const kLogicConnectedCaption = "K1 Logic Analysis-- Device( %d ) Connected";
const char* const kLogicNotConnectedCaption = "K1 Logic Analysis -- No device Connected ";

namespace {

constexpr uint8_t kCaptureMode = 0x87;

bool Running() { return g_WorkerRunning.load(std::memory_order_acquire) != 0; }

}  // namespace

LogicPage::LogicPage() { LoadDefaults(); }

void LogicPage::LoadDefaults() {
    view_.settings.parityMode = ParityNone;
    SelectBaud(kLogicBaudDefault);
    SelectTimeScale(kLogicTimeScaleDefault);
}

void LogicPage::SelectBaud(unsigned row) {
    if (row >= kLogicBaudLabels.size()) return;
    baudRow_ = row;
    ApplyLogicBaud(view_.settings, LogicBaudOfRow(row));
}

void LogicPage::SelectParity(uint32_t mode) {
    if (mode <= ParityLin) view_.settings.parityMode = mode;
}

void LogicPage::SelectTimeScale(unsigned row) {
    if (row >= kLogicTimeScaleUs.size()) return;
    timeScaleRow_ = row;
    view_.settings.timeScaleUs = kLogicTimeScaleUs[row];
}

LogicScroll LogicPage::ResetScroll(int viewWidth, int viewHeight) {
    viewWidth_ = viewWidth;
    viewHeight_ = viewHeight;
    view_.firstShown = 0;
    view_.UpdateLayout(viewWidth, viewHeight);
    scroll_.max = static_cast<int32_t>(view_.capture.Count() / view_.samplesPerScreen + 1);
    scroll_.position = 0;
    return scroll_;
}

LogicScroll LogicPage::Scroll(HubScrollCode code, int32_t trackPosition) {
    const int64_t step = HubScrollStep(code, scroll_.position, 1, trackPosition);
    scroll_.position = static_cast<int32_t>(std::clamp<int64_t>(scroll_.position + step, 0, scroll_.max));
    const uint64_t perPosition = view_.capture.Count() / (uint64_t{static_cast<uint32_t>(scroll_.max)} + 1);
    view_.firstShown = static_cast<uint32_t>(perPosition * static_cast<uint32_t>(scroll_.position)) & ~1u;
    // The floored step would stop short of the end: the last position shows the last screen.
    if (scroll_.position == scroll_.max)
        view_.firstShown = std::max(view_.firstShown, view_.LastScreenStart(viewWidth_, viewHeight_));
    return scroll_;
}

LogicStartResult LogicPage::Start() {
    if (Running()) return LogicStartResult::Ignored;
    if (!g_DeviceOpen.load(std::memory_order_acquire)) {
        platform::ShowMessage(kTextConnectUsb, kCaptionNotConnected, platform::MessageIcon::Exclamation);
        return LogicStartResult::NotConnected;
    }
    // A capture that ended by itself may still be sending its stop packet, and still owns
    // the samples until it has returned.
    g_WorkerThread.JoinEnded();
    view_.firstShown = 0;
    view_.capture.Reset();
    view_.lastDrawnCount = 0;
    if (!ChipResetSequence()) {
        platform::ShowMessage(kTextDeviceCommError, kCaptionDeviceError, platform::MessageIcon::Exclamation);
        return LogicStartResult::DeviceError;
    }
    UsbSendStart(kCaptureMode, EngineUart, 0x00);  // the capture goes on without an answer
    g_TxPending.store(0, std::memory_order_release);  // nothing to send during a capture
    if (!g_WorkerThread.Start(ThreadProcLogic, &view_.capture, false)) return LogicStartResult::Ignored;
    scroll_ = LogicScroll{};
    blinkShown_ = false;
    return LogicStartResult::Started;
}

void LogicPage::Stop() {
    if (Running()) StopPage();
}

std::string LogicPage::CountText() const { return std::to_string(view_.capture.Count()); }

LogicTick LogicPage::OnTimer() {
    // The flag before the count: once the flag reads clear, the count holds every sample.
    const bool running = Running();
    const uint32_t count = view_.capture.Count();
    LogicTick tick;
    if (count != view_.lastDrawnCount) {
        tick.repaint = true;
        view_.lastDrawnCount = count;
    }
    blinkShown_ = !blinkShown_;
    tick.countText = blinkShown_ ? std::to_string(count) : std::string();
    if (!running) {
        tick.countText = std::to_string(count);
        tick.ended = true;
    }
    return tick;
}

LogicStatus LogicPage::DeviceStatus() const {
    const PageDeviceStatus device = CurrentDeviceStatus(kLogicConnectedCaption, kLogicNotConnectedCaption);
    LogicStatus status;
    status.startEnabled = device.startEnabled;
    status.stopEnabled = device.stopEnabled;
    status.saveEnabled = true;
    status.loadEnabled = !Running();
    status.caption = device.caption;
    return status;
}

bool LogicPage::ConfirmClose() const { return !RefusedWhileWorkerRuns(); }

KlgResult LogicPage::SaveTo(const std::string& path) {
    const KlgSettings settings{timeScaleRow_, baudRow_, view_.settings.parityMode};
    // The count is read once: a running capture only appends past it, so the file holds a
    // whole snapshot of what had arrived.
    const uint32_t count = view_.capture.Count();
    const KlgResult result = SaveKlg(path, settings, view_.capture.Samples(), count);
    if (result != KlgResult::Ok) platform::ShowMessage(KlgMessage(result), std::string(), platform::MessageIcon::None);
    return result;
}

KlgResult LogicPage::LoadFrom(const std::string& path) {
    KlgContents contents;
    const KlgResult result = LoadKlg(path, contents);
    if (result != KlgResult::Ok) {
        platform::ShowMessage(KlgMessage(result), std::string(), platform::MessageIcon::None);
        return result;
    }
    view_.capture.Assign(contents.samples);
    view_.lastDrawnCount = view_.capture.Count();
    view_.firstShown = 0;
    view_.settings.parityMode = contents.settings.parityMode;
    SelectBaud(contents.settings.baudRow);
    SelectTimeScale(contents.settings.timeScaleRow);
    return result;
}
