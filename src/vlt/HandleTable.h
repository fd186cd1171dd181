// Tables of open objects keyed by integer handles. Handles are never reused while the process
// runs, so a closed handle stays unknown (kInvalidHandle) instead of reaching a newer object.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace vlt {

template <class T> class HandleTable {
public:
    // 0 when the handle range is used up.
    std::uint32_t add(std::shared_ptr<T> object) {
        std::lock_guard lock(mutex_);
        if (next_ == 0)
            return 0;
        const std::uint32_t h = next_++;
        objects_.emplace(h, std::move(object));
        return h;
    }
    std::shared_ptr<T> find(std::uint32_t h) const {
        std::lock_guard lock(mutex_);
        auto it = objects_.find(h);
        return it == objects_.end() ? nullptr : it->second;
    }
    // The removed object (its destruction happens outside the lock), or null.
    std::shared_ptr<T> remove(std::uint32_t h) {
        std::lock_guard lock(mutex_);
        auto it = objects_.find(h);
        if (it == objects_.end())
            return nullptr;
        std::shared_ptr<T> o = std::move(it->second);
        objects_.erase(it);
        return o;
    }

private:
    mutable std::mutex mutex_;
    std::unordered_map<std::uint32_t, std::shared_ptr<T>> objects_;
    std::uint32_t next_ = 1;
};

} // namespace vlt
