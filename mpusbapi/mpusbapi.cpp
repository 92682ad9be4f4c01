// libmpusbapi.so on libusb-1.0: the seven entry points of mpusbapi.h.
#include "mpusbapi/mpusbapi.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <libusb.h>

#include "mpusbapi/HandleRegistry.h"
#include "mpusbapi/Names.h"
#include "mpusbapi/Transfer.h"

namespace {

using mpusb::UsbId;

constexpr uint32_t kLibraryVersion = 0x01000000;
constexpr int kInterface = 0;
// The rest of a reply follows its first packets at once; waiting longer would only delay the
// read that got them.
constexpr unsigned kRestTimeoutMs = 10;

// One opened device with interface 0 claimed; released and closed with its last pipe.
class DeviceLink {
public:
    explicit DeviceLink(libusb_device_handle* handle) : handle_(handle) {}
    ~DeviceLink() {
        libusb_release_interface(handle_, kInterface);
        libusb_close(handle_);
    }
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    libusb_device_handle* Handle() const { return handle_; }
    // The handle holds a reference on its device, so this pointer stays unique while we live.
    libusb_device* Device() const { return libusb_get_device(handle_); }

private:
    libusb_device_handle* handle_;
};

struct Pipe {
    std::shared_ptr<DeviceLink> link;
    uint8_t address = 0;
    bool interrupt = false;
    uint16_t maxPacket = 0;

    bool IsIn() const { return (address & LIBUSB_ENDPOINT_IN) != 0; }
};

struct EndpointInfo {
    bool interrupt;
    uint16_t maxPacket;
};

class DeviceList {
public:
    explicit DeviceList(libusb_context* context) {
        const ssize_t n = libusb_get_device_list(context, &list_);
        count_ = n > 0 ? static_cast<size_t>(n) : 0;
    }
    ~DeviceList() {
        if (list_ != nullptr) libusb_free_device_list(list_, 1);
    }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    // Devices with the given ids, in libusb's enumeration order.
    std::vector<libusb_device*> Matching(UsbId id) const {
        std::vector<libusb_device*> found;
        for (size_t i = 0; i < count_; ++i) {
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(list_[i], &descriptor) != LIBUSB_SUCCESS) continue;
            if (descriptor.idVendor == id.vendor && descriptor.idProduct == id.product)
                found.push_back(list_[i]);
        }
        return found;
    }

private:
    libusb_device** list_ = nullptr;
    size_t count_ = 0;
};

// The endpoint's transfer type and packet size, from interface 0 (default setting) of the
// active configuration; nullopt when it is not a bulk or interrupt endpoint there.
std::optional<EndpointInfo> FindEndpoint(libusb_device* device, uint8_t address) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS) return std::nullopt;
    std::optional<EndpointInfo> result;
    if (config->bNumInterfaces > kInterface && config->interface[kInterface].num_altsetting > 0) {
        const libusb_interface_descriptor& setting = config->interface[kInterface].altsetting[0];
        for (int i = 0; i < setting.bNumEndpoints; ++i) {
            const libusb_endpoint_descriptor& ep = setting.endpoint[i];
            if (ep.bEndpointAddress != address) continue;
            const int type = ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK;
            if (type == LIBUSB_TRANSFER_TYPE_BULK || type == LIBUSB_TRANSFER_TYPE_INTERRUPT)
                result = EndpointInfo{type == LIBUSB_TRANSFER_TYPE_INTERRUPT,
                                      static_cast<uint16_t>(ep.wMaxPacketSize & 0x7FF)};
            break;
        }
    }
    libusb_free_config_descriptor(config);
    return result;
}

int RunTransfer(const Pipe& pipe, unsigned char* data, int length, int* transferred,
                unsigned timeoutMs) {
    libusb_device_handle* handle = pipe.link->Handle();
    return pipe.interrupt
               ? libusb_interrupt_transfer(handle, pipe.address, data, length, transferred, timeoutMs)
               : libusb_bulk_transfer(handle, pipe.address, data, length, transferred, timeoutMs);
}

// Library-wide state. The mutex guards the context, the registry and the device links; it is
// never held during a transfer.
class Library {
public:
    Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Runs when the program unloads the library: libusb's own threads must end before its
    // code is unmapped with ours, so every pipe and the context go now.
    ~Library() {
        std::lock_guard<std::mutex> lock(mutex_);
        pipes_.RemoveAll();
        links_.clear();
        if (context_ != nullptr) libusb_exit(context_);
        context_ = nullptr;
    }

    uint32_t Count(UsbId id) {
        std::lock_guard<std::mutex> lock(mutex_);
        libusb_context* context = Context();
        if (context == nullptr) return 0;
        return static_cast<uint32_t>(DeviceList(context).Matching(id).size());
    }

    void* Open(uint32_t index, UsbId id, uint8_t address) {
        std::lock_guard<std::mutex> lock(mutex_);
        libusb_context* context = Context();
        if (context == nullptr) return MPUSB_INVALID_HANDLE;
        const DeviceList list(context);
        const std::vector<libusb_device*> matching = list.Matching(id);
        if (index >= matching.size()) return MPUSB_INVALID_HANDLE;
        libusb_device* device = matching[index];

        const std::optional<EndpointInfo> endpoint = FindEndpoint(device, address);
        if (!endpoint) return MPUSB_INVALID_HANDLE;
        std::shared_ptr<DeviceLink> link = LinkTo(device);
        if (!link) return MPUSB_INVALID_HANDLE;

        auto pipe = std::make_shared<Pipe>();
        pipe->link = std::move(link);
        pipe->address = address;
        pipe->interrupt = endpoint->interrupt;
        pipe->maxPacket = endpoint->maxPacket;
        return pipes_.Add(std::move(pipe));
    }

    std::shared_ptr<Pipe> Find(void* handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        return pipes_.Find(handle);
    }

    bool Close(void* handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        // Dropped under the lock: when this was the device's last pipe, its interface is
        // released before any other thread can open it again. (A transfer still running on
        // the pipe keeps the device until that transfer returns.)
        return pipes_.Remove(handle) != nullptr;
    }

private:
    // Created on first use; retried on the next call when USB cannot be reached.
    libusb_context* Context() {
        if (context_ == nullptr && libusb_init(&context_) != LIBUSB_SUCCESS) context_ = nullptr;
        return context_;
    }

    // The open link of this device, or a new one with interface 0 claimed.
    std::shared_ptr<DeviceLink> LinkTo(libusb_device* device) {
        links_.erase(std::remove_if(links_.begin(), links_.end(),
                                    [](const std::weak_ptr<DeviceLink>& w) { return w.expired(); }),
                     links_.end());
        for (const auto& weak : links_) {
            std::shared_ptr<DeviceLink> link = weak.lock();
            if (link && link->Device() == device) return link;
        }
        libusb_device_handle* handle = nullptr;
        if (libusb_open(device, &handle) != LIBUSB_SUCCESS) return nullptr;
        // Not supported on every platform; claiming then fails if a kernel driver holds it.
        libusb_set_auto_detach_kernel_driver(handle, 1);
        if (libusb_claim_interface(handle, kInterface) != LIBUSB_SUCCESS) {
            libusb_close(handle);
            return nullptr;
        }
        auto link = std::make_shared<DeviceLink>(handle);
        links_.push_back(link);
        return link;
    }

    std::mutex mutex_;
    libusb_context* context_ = nullptr;
    mpusb::HandleRegistry<Pipe> pipes_;
    std::vector<std::weak_ptr<DeviceLink>> links_;
};

Library g_library;

// Reads what is left of a reply that went on past the read's buffer, up to its short last
// packet, so that it cannot answer the next read.
void DropRestOfReply(const Pipe& pipe) {
    std::vector<unsigned char> packet(pipe.maxPacket ? pipe.maxPacket : 64);
    for (uint32_t dropped = 0; dropped < mpusb::kMaxReadBytes; dropped += packet.size()) {
        int transferred = 0;
        const int result = RunTransfer(pipe, packet.data(), static_cast<int>(packet.size()), &transferred,
                                       kRestTimeoutMs);
        if (result != LIBUSB_SUCCESS || static_cast<size_t>(transferred) < packet.size()) return;
    }
}

uint32_t ReadPipe(void* handle, void* data, uint32_t maxLength, uint32_t* received,
                  uint32_t timeoutMs) {
    if (received != nullptr) *received = 0;
    if (data == nullptr || maxLength == 0) return 0;
    const std::shared_ptr<Pipe> pipe = g_library.Find(handle);
    if (!pipe || !pipe->IsIn()) return 0;

    std::vector<unsigned char> buffer(mpusb::ReadBufferSize(maxLength, pipe->maxPacket));
    int transferred = 0;
    const int result = RunTransfer(*pipe, buffer.data(), static_cast<int>(buffer.size()),
                                   &transferred, mpusb::EffectiveTimeout(timeoutMs));
    // What arrived is handed out also when the read failed (a time-out after part of a reply).
    const uint32_t copied = std::min(static_cast<uint32_t>(std::max(transferred, 0)), maxLength);
    if (copied > 0) std::memcpy(data, buffer.data(), copied);
    if (received != nullptr) *received = copied;
    if (!mpusb::ReadSucceeded(result, transferred)) return 0;
    // A reply longer than maxLength is cut; the rest is dropped, not kept for the next read.
    if (mpusb::RestMayFollow(transferred, static_cast<uint32_t>(buffer.size()), maxLength))
        DropRestOfReply(*pipe);
    return 1;
}

}  // namespace

extern "C" {

uint32_t _MPUSBGetDLLVersion(void) {
    return kLibraryVersion;
}

uint32_t _MPUSBGetDeviceCount(const char* selector) {
    const std::optional<UsbId> id = mpusb::ParseSelector(selector);
    return id ? g_library.Count(*id) : 0;
}

void* _MPUSBOpen(uint32_t index, const char* selector, const char* endpoint, uint32_t direction,
                 uint32_t /*reserved*/) {
    const std::optional<UsbId> id = mpusb::ParseSelector(selector);
    const std::optional<uint8_t> number = mpusb::ParseEndpointName(endpoint);
    if (!id || !number) return MPUSB_INVALID_HANDLE;
    const std::optional<uint8_t> address = mpusb::EndpointAddress(*number, direction);
    if (!address) return MPUSB_INVALID_HANDLE;
    return g_library.Open(index, *id, *address);
}

uint32_t _MPUSBWrite(void* handle, const void* data, uint32_t length, uint32_t* sent,
                     uint32_t timeoutMs) {
    if (sent != nullptr) *sent = 0;
    if ((data == nullptr && length > 0) || length > static_cast<uint32_t>(INT_MAX)) return 0;
    const std::shared_ptr<Pipe> pipe = g_library.Find(handle);
    if (!pipe || pipe->IsIn()) return 0;

    int transferred = 0;
    // libusb does not write through the pointer of an OUT transfer.
    auto* bytes = static_cast<unsigned char*>(const_cast<void*>(data));
    const int result = RunTransfer(*pipe, bytes, static_cast<int>(length), &transferred,
                                   mpusb::EffectiveTimeout(timeoutMs));
    if (sent != nullptr) *sent = transferred > 0 ? static_cast<uint32_t>(transferred) : 0;
    return mpusb::WriteSucceeded(result, transferred, length) ? 1 : 0;
}

uint32_t _MPUSBRead(void* handle, void* data, uint32_t maxLength, uint32_t* received,
                    uint32_t timeoutMs) {
    return ReadPipe(handle, data, maxLength, received, timeoutMs);
}

uint32_t _MPUSBReadInt(void* handle, void* data, uint32_t maxLength, uint32_t* received,
                       uint32_t timeoutMs) {
    return ReadPipe(handle, data, maxLength, received, timeoutMs);
}

uint32_t _MPUSBClose(void* handle) {
    return g_library.Close(handle) ? 1 : 0;
}

}  // extern "C"
