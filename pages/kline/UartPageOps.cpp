#include "pages/kline/UartPageOps.h"

#include <cstring>

#include "device/UsbOperation.h"

PageStartResult StartUartPage(const UartRegisterImage& image, const UartPageConfig& config,
                              void* hub) {
    return StartPageWith([&] { return ConfigureDevice(image, config.page); },
                         [&] { UsbSendStart(image[uart::UFRMCON], EngineUart, config.startSubMode); },
                         config.WorkerStart(), hub);
}

PageSendResult SendUartFrame(uint16_t word, const uint8_t* frame, size_t count) {
    uint8_t packet[kPacketBufferSize];
    const size_t length = BuildUartFramePacket(packet, word, frame, count);
    return SendPagePacket(packet, length);
}

PageEditResult EditResultOf(const FieldResult& field) {
    PageEditResult result;
    if (field.Clamped()) {
        result.rewrite = !field.rewriteText.empty();
        result.text = field.rewriteText;
        result.message = field.message;
    }
    return result;
}
