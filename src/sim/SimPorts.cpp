#include "sim/SimPorts.h"

namespace quillon::sim {

std::unique_ptr<SerialDevice> SimPorts::Create() {
    return std::make_unique<SimPortDevice>(*this);
}

bool SimPortDevice::Open(const std::string& comName) {
    ++ports_.attempts_;
    ports_.lastName_ = comName;
    if (end_ != nullptr) {
        return false;
    }
    auto it = ports_.ports_.find(comName);
    if (it == ports_.ports_.end()) {
        lastError_ = 2;  // no such device
        return false;
    }
    if (ports_.inUse_[it->second]) {
        lastError_ = 5;  // already open elsewhere
        return false;
    }
    ports_.inUse_[it->second] = true;
    end_ = it->second;
    lost_ = false;
    lastError_ = 0;
    return true;
}

int SimPortDevice::Read(uint8_t* dest, int max) {
    if (end_ == nullptr || lost_) {
        lastError_ = lost_ ? 5 : 6;
        return -1;
    }
    const int n = end_->Read(dest, max);
    if (n < 0) {
        lastError_ = 5;  // the line has gone
        NoteLoss();
    }
    return n;
}

int SimPortDevice::Write(const uint8_t* src, int count) {
    if (end_ == nullptr || lost_) {
        lastError_ = lost_ ? 5 : 6;
        return -1;
    }
    if (failWrites_) {
        lastError_ = failError_;
        return -1;
    }
    const int n = end_->Write(src, count);
    if (n < 0) {
        lastError_ = 5;
        NoteLoss();
    }
    return n;
}

void SimPortDevice::PurgeReceive() {
    if (end_ != nullptr) {
        end_->PurgeReceive();
    }
}

void SimPortDevice::Close() {
    if (end_ != nullptr) {
        ports_.inUse_[end_] = false;
        end_ = nullptr;
        lost_ = false;
    }
}

}  // namespace quillon::sim
