// HandleTable: the opaque 32-bit handles the modules hand out; MODULE_EXPORT for their C exports.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// Pointers do not fit the 32-bit handles of the interface, so objects live in a table and the
// handle is the index + 1. Lookups lock briefly; an object is used by one thread at a time.
template <typename T>
class HandleTable {
public:
    int32_t Add(std::unique_ptr<T> object) {
        std::lock_guard lock(m_mutex);
        for (size_t i = 0; i < m_objects.size(); ++i) {
            if (!m_objects[i]) {
                m_objects[i] = std::move(object);
                return static_cast<int32_t>(i + 1);
            }
        }
        m_objects.push_back(std::move(object));
        return static_cast<int32_t>(m_objects.size());
    }

    T* Get(int32_t handle) {
        std::lock_guard lock(m_mutex);
        return Valid(handle) ? m_objects[handle - 1].get() : nullptr;
    }

    std::unique_ptr<T> Remove(int32_t handle) {
        std::lock_guard lock(m_mutex);
        return Valid(handle) ? std::move(m_objects[handle - 1]) : nullptr;
    }

private:
    bool Valid(int32_t handle) const { return handle > 0 && static_cast<size_t>(handle) <= m_objects.size(); }

    std::mutex m_mutex;
    std::vector<std::unique_ptr<T>> m_objects;
};

#define MODULE_EXPORT extern "C" __attribute__((visibility("default")))
