// A capture client for the tests: keeps a copy of every buffer and event, waits for them.
#pragma once

#include "platform/CaptureStream.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class TestCaptureClient : public CCaptureClient {
public:
    struct Delivery {
        std::string bytes;
        uint32_t length;
    };

    void OnBufferDone(CaptureBuffer& buffer) override {
        if (handlerDelay.count() > 0) std::this_thread::sleep_for(handlerDelay);
        {
            std::lock_guard lock(mutex);
            deliveries.push_back({std::string(buffer.data, buffer.recorded), buffer.length});
        }
        changed.notify_all();
        if (requeue) stream->AddBuffer(&buffer);
    }
    void OnCaptureEvent(CaptureEvent event, const UserText& detail) override {
        {
            std::lock_guard lock(mutex);
            events.push_back(event);
            lastDetail = detail.SourceText();
        }
        changed.notify_all();
    }
    // Waits (generously: the machine may be loaded) until `done` holds under the lock.
    bool WaitUntil(const std::function<bool()>& done, int seconds = 30) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(seconds), done);
    }
    std::string Joined() {
        std::lock_guard lock(mutex);
        std::string all;
        for (const Delivery& d : deliveries) all += d.bytes;
        return all;
    }
    size_t Count(CaptureEvent event) {
        std::lock_guard lock(mutex);
        size_t n = 0;
        for (CaptureEvent e : events) n += e == event;
        return n;
    }

    CCaptureStream* stream = nullptr;
    bool requeue = true;
    std::chrono::milliseconds handlerDelay{0};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Delivery> deliveries;
    std::vector<CaptureEvent> events;
    std::string lastDetail;
};
