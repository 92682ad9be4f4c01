#pragma once
// The live pipes, by the handle value given out for each.
//
// A handle is a serial number, never a pointer and never reused, so a handle that was closed
// (or never given out) finds nothing: closing twice, or writing after close, cannot reach
// freed memory or another caller's pipe. Values 0 and all-bits-set are never given out.
//
// Not locked: the owner holds its own mutex around every call.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace mpusb {

template <class Pipe>
class HandleRegistry {
public:
    // firstSerial only matters to tests that need the counter near its wrap.
    explicit HandleRegistry(uintptr_t firstSerial = 1) : next_(firstSerial) {}

    void* Add(std::shared_ptr<Pipe> pipe) {
        uintptr_t serial = next_++;
        while (serial == 0 || serial == ~uintptr_t{0}) serial = next_++;
        pipes_.emplace(serial, std::move(pipe));
        return reinterpret_cast<void*>(serial);
    }

    // The pipe, kept alive by the returned pointer even if it is removed meanwhile.
    std::shared_ptr<Pipe> Find(void* handle) const {
        const auto it = pipes_.find(reinterpret_cast<uintptr_t>(handle));
        return it == pipes_.end() ? nullptr : it->second;
    }

    // Takes the pipe out; nullptr when the handle is not live.
    std::shared_ptr<Pipe> Remove(void* handle) {
        const auto it = pipes_.find(reinterpret_cast<uintptr_t>(handle));
        if (it == pipes_.end()) return nullptr;
        std::shared_ptr<Pipe> pipe = std::move(it->second);
        pipes_.erase(it);
        return pipe;
    }

    std::vector<std::shared_ptr<Pipe>> RemoveAll() {
        std::vector<std::shared_ptr<Pipe>> all;
        for (auto& entry : pipes_) all.push_back(std::move(entry.second));
        pipes_.clear();
        return all;
    }

    size_t Size() const { return pipes_.size(); }

private:
    std::map<uintptr_t, std::shared_ptr<Pipe>> pipes_;
    uintptr_t next_;
};

}  // namespace mpusb
