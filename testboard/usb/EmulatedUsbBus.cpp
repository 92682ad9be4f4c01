#include "testboard/usb/EmulatedUsbBus.h"

// The ioctl numbers are constant expressions only with this header first.
#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

namespace testboard {

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint8_t kPacketSize = 64;

// Device, configuration, interface and the two endpoint descriptors, as sysfs shows them.
Bytes Descriptors(bool interrupt) {
    const uint8_t type = interrupt ? 3 : 2;
    const uint8_t interval = interrupt ? 1 : 0;
    return {18, 1, 0x00, 0x02, 0, 0, 0, kPacketSize, 0xD8, 0x04, 0x0C, 0x00, 0x00, 0x01, 0, 0, 0, 1,
            9, 2, 32, 0, 1, 1, 0, 0x80, 50,
            9, 4, 0, 0, 2, 0xFF, 0, 0, 0,
            7, 5, 0x01, type, kPacketSize, 0, interval,
            7, 5, 0x81, type, kPacketSize, 0, interval};
}

// A reference on umockdev's copy of client memory, released with the owner.
struct DataRef {
    explicit DataRef(UMockdevIoctlData* d = nullptr) : data(d) {}
    DataRef(const DataRef&) = delete;
    DataRef& operator=(const DataRef&) = delete;
    DataRef(DataRef&& other) noexcept : data(std::exchange(other.data, nullptr)) {}
    DataRef& operator=(DataRef&& other) noexcept {
        std::swap(data, other.data);
        return *this;
    }
    ~DataRef() {
        if (data) g_object_unref(data);
    }
    UMockdevIoctlData* data;
};

// One submitted URB: its struct and its buffer, resolved at submit and filled at reap.
struct Request {
    UMockdevIoctlClient* client = nullptr;
    DataRef urb;
    DataRef buffer;
    bool in = false;
    bool done = false;
    int status = 0;
    int actual = 0;
    bool armed = false;  // found an answer and took the model's read faults
    bool holding = false;  // has the first part of a split answer
    ReadFaults faults;
    Clock::time_point due;
};

usbdevfs_urb& Urb(const Request& r) { return *reinterpret_cast<usbdevfs_urb*>(r.urb.data->data); }

void Complete(Request& r, int status, size_t actual) {
    r.done = true;
    r.status = status;
    r.actual = static_cast<int>(actual);
}

}  // namespace

struct EmulatedUsbBus::Testbed {
    Testbed() : bed(umockdev_testbed_new()) {}
    ~Testbed() { g_object_unref(bed); }
    UMockdevTestbed* bed;
};

struct EmulatedUsbBus::Device {
    Board* model = nullptr;
    bool interrupt = false;
    std::string syspath;
    std::string devnode;
    UMockdevIoctlBase* handler = nullptr;

    mutable std::mutex mutex;  // the rest; the handler runs on umockdev's thread
    std::deque<Request> requests;
    bool unplugged = false;
    unsigned claims = 0;
    unsigned releases = 0;
    int lastType = 0;

    // Completes what the model can answer now: IN requests in order, each with the first
    // answer waiting. Called with the mutex held.
    void Serve() {
        for (Request& r : requests) {
            if (!r.in || r.done) continue;
            if (!r.armed) {
                if (!model->AnswerWaiting()) return;
                r.armed = true;
                r.faults = model->TakeReadFaults();
                r.due = Clock::now() + std::chrono::milliseconds(r.faults.delayMs);
            }
            const size_t room = static_cast<size_t>(Urb(r).buffer_length);
            if (r.faults.fail) {
                model->TakeAnswer(0, false);
                Complete(r, -EPROTO, 0);
                continue;
            }
            if (Clock::now() < r.due) return;
            if (r.faults.split) {
                // The first part arrives; the request waits for the rest until it is discarded.
                if (!r.holding) {
                    r.holding = true;
                    r.actual = static_cast<int>(Fill(r, model->TakeAnswer(std::min<size_t>(r.faults.splitAfter, room), true)));
                }
                return;
            }
            if (!model->AnswerWaiting()) return;
            const Bytes answer = r.faults.cut ? model->TakeAnswer(std::min<size_t>(r.faults.cutTo, room), false)
                                              : model->TakeAnswer(room, true);
            Complete(r, 0, Fill(r, answer));
        }
    }

    static size_t Fill(Request& r, const Bytes& bytes) {
        if (!bytes.empty()) std::memcpy(r.buffer.data->data, bytes.data(), bytes.size());
        return bytes.size();
    }

    gboolean Handle(UMockdevIoctlClient* client);
    void Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void Discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void Forget(UMockdevIoctlClient* client);
};

gboolean EmulatedUsbBus::Device::Handle(UMockdevIoctlClient* client) {
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    switch (umockdev_ioctl_client_get_request(client)) {
    case USBDEVFS_GET_CAPABILITIES: {
        const DataRef caps(umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr));
        if (!caps.data) return FALSE;
        *reinterpret_cast<uint32_t*>(caps.data->data) = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    case USBDEVFS_DISCONNECT_CLAIM:  // libusb claims this way with auto-detach on
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
        std::lock_guard<std::mutex> lock(mutex);
        if (unplugged) {
            umockdev_ioctl_client_complete(client, -1, ENODEV);
            return TRUE;
        }
        ++(umockdev_ioctl_client_get_request(client) == USBDEVFS_RELEASEINTERFACE ? releases : claims);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    case USBDEVFS_IOCTL:  // the kernel driver back after a release: there is none
        umockdev_ioctl_client_complete(client, -1, ENODATA);
        return TRUE;
    case USBDEVFS_SUBMITURB:
        Submit(client, arg);
        return TRUE;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        Reap(client, arg);
        return TRUE;
    case USBDEVFS_DISCARDURB:
        Discard(client, arg);
        return TRUE;
    default:
        return FALSE;
    }
}

void EmulatedUsbBus::Device::Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    Request r;
    r.client = client;
    r.urb = DataRef(umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr));
    if (!r.urb.data) {
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    const usbdevfs_urb& urb = Urb(r);
    r.buffer = DataRef(umockdev_ioctl_data_resolve(r.urb.data, offsetof(usbdevfs_urb, buffer),
                                                   static_cast<size_t>(urb.buffer_length), nullptr));
    r.in = (urb.endpoint & 0x80) != 0;
    const bool ours = urb.endpoint == (r.in ? 0x81 : 0x01) &&
                      urb.type == (interrupt ? USBDEVFS_URB_TYPE_INTERRUPT : USBDEVFS_URB_TYPE_BULK);
    if (!r.buffer.data || !ours) {
        umockdev_ioctl_client_complete(client, -1, r.buffer.data ? EINVAL : EFAULT);
        return;
    }
    Bytes written;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (unplugged) {
            umockdev_ioctl_client_complete(client, -1, ENODEV);
            return;
        }
        lastType = urb.type;
        if (!r.in) written.assign(r.buffer.data->data, r.buffer.data->data + urb.buffer_length);
    }
    if (!r.in) {
        // The model may run the test's responder: not under the mutex.
        const bool taken = model->Accept(written.data(), static_cast<uint32_t>(written.size()));
        Complete(r, taken ? 0 : -EPROTO, taken ? written.size() : 0);
    }
    std::lock_guard<std::mutex> lock(mutex);
    requests.push_back(std::move(r));
    // An answer already waiting completes the request now, as a device's filled buffer does
    // on a real bus: not only when the host first reaps, which a loaded machine may put off
    // past the request's time-out, leaving a reply the host has given up on.
    Serve();
    umockdev_ioctl_client_complete(client, 0, 0);
}

void EmulatedUsbBus::Device::Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    std::lock_guard<std::mutex> lock(mutex);
    Serve();
    const auto it = std::find_if(requests.begin(), requests.end(),
                                 [client](const Request& r) { return r.done && r.client == client; });
    if (it == requests.end()) {
        umockdev_ioctl_client_complete(client, -1, EAGAIN);
        return;
    }
    usbdevfs_urb& urb = Urb(*it);
    urb.status = it->status;
    urb.actual_length = it->actual;
    // The argument points at the caller's URB pointer, which gets the reaped URB.
    const DataRef slot(umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr));
    if (!slot.data || !umockdev_ioctl_data_set_ptr(slot.data, 0, it->urb.data)) {
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    umockdev_ioctl_client_complete(client, 0, 0);
    requests.erase(it);
}

void EmulatedUsbBus::Device::Discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    // The argument is the URB's own address.
    const gulong address = *reinterpret_cast<const gulong*>(arg->data);
    std::lock_guard<std::mutex> lock(mutex);
    Serve();  // an answer that came due before the time-out was acted on completes it
    for (Request& r : requests)
        if (!r.done && r.client == client && r.urb.data->client_addr == address) {
            Complete(r, -ENOENT, static_cast<size_t>(r.actual));
            umockdev_ioctl_client_complete(client, 0, 0);
            return;
        }
    umockdev_ioctl_client_complete(client, -1, EINVAL);  // already completed
}

namespace {

gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer device) {
    return static_cast<EmulatedUsbBus::Device*>(device)->Handle(client);
}

// A closed device file takes its requests with it.
void OnVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer device) {
    static_cast<EmulatedUsbBus::Device*>(device)->Forget(client);
}

}  // namespace

void EmulatedUsbBus::Device::Forget(UMockdevIoctlClient* client) {
    std::lock_guard<std::mutex> lock(mutex);
    requests.erase(std::remove_if(requests.begin(), requests.end(),
                                  [client](const Request& r) { return r.client == client; }),
                   requests.end());
}

EmulatedUsbBus::EmulatedUsbBus() : testbed_(std::make_unique<Testbed>()) {}

EmulatedUsbBus::~EmulatedUsbBus() {
    for (const auto& d : devices_) {
        umockdev_testbed_detach_ioctl(testbed_->bed, d->devnode.c_str(), nullptr);
        g_object_unref(d->handler);
    }
    devices_.clear();
    testbed_.reset();
}

size_t EmulatedUsbBus::Plug(Board& model, bool interrupt) {
    const size_t n = devices_.size();
    auto d = std::make_unique<Device>();
    d->model = &model;
    d->interrupt = interrupt;
    // One board per bus, each the first device on it.
    const std::string bus = std::to_string(n + 1);
    char busDir[16];
    std::snprintf(busDir, sizeof busDir, "%03zu", n + 1);
    d->devnode = std::string("/dev/bus/usb/") + busDir + "/001";

    // The handler must be in place before the device appears.
    d->handler = umockdev_ioctl_base_new();
    g_signal_connect(d->handler, "handle-ioctl", G_CALLBACK(OnIoctl), d.get());
    g_signal_connect(d->handler, "client-vanished", G_CALLBACK(OnVanished), d.get());
    if (!umockdev_testbed_attach_ioctl(testbed_->bed, d->devnode.c_str(), d->handler, nullptr))
        throw std::runtime_error("cannot attach the usbfs handler to " + d->devnode);
    gchar* root = umockdev_testbed_get_root_dir(testbed_->bed);
    const std::filesystem::path node = std::string(root) + d->devnode;
    g_free(root);
    std::filesystem::create_directories(node.parent_path());
    std::ofstream(node.string()).flush();

    const std::string busnum = bus + "\n";
    char* syspath = umockdev_testbed_add_device(
        testbed_->bed, "usb", ("usb" + bus).c_str(), nullptr,
        "busnum", busnum.c_str(), "devnum", "1\n", "speed", "12\n", "bConfigurationValue", "1\n", nullptr,
        "DEVTYPE", "usb_device", "BUSNUM", busDir, "DEVNUM", "001", "DEVNAME", d->devnode.c_str(), nullptr);
    if (!syspath) throw std::runtime_error("cannot add the emulated board");
    d->syspath = syspath;
    g_free(syspath);
    Bytes descriptors = Descriptors(interrupt);
    umockdev_testbed_set_attribute_binary(testbed_->bed, d->syspath.c_str(), "descriptors", descriptors.data(),
                                          static_cast<gint>(descriptors.size()));
    devices_.push_back(std::move(d));
    return n;
}

void EmulatedUsbBus::Unplug(size_t n) {
    Device& d = *devices_.at(n);
    {
        std::lock_guard<std::mutex> lock(d.mutex);
        d.unplugged = true;
        for (Request& r : d.requests)
            if (!r.done) Complete(r, -ESHUTDOWN, 0);
    }
    // Removing the device from the testbed sends nothing: the event goes first.
    umockdev_testbed_uevent(testbed_->bed, d.syspath.c_str(), "remove");
}

unsigned EmulatedUsbBus::Claims(size_t n) const {
    std::lock_guard<std::mutex> lock(devices_.at(n)->mutex);
    return devices_.at(n)->claims;
}

unsigned EmulatedUsbBus::Releases(size_t n) const {
    std::lock_guard<std::mutex> lock(devices_.at(n)->mutex);
    return devices_.at(n)->releases;
}

int EmulatedUsbBus::LastTransferType(size_t n) const {
    std::lock_guard<std::mutex> lock(devices_.at(n)->mutex);
    return devices_.at(n)->lastType;
}

}  // namespace testboard
