#pragma once
#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace kovo {

// Keeps a listener subscribed for as long as it lives; moving it moves the
// subscription. It may outlive the notices it came from.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, {});
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    // Unsubscribes now.
    void reset() {
        if (auto cancel = std::exchange(cancel_, {}))
            cancel();
    }
    bool active() const { return static_cast<bool>(cancel_); }

private:
    std::function<void()> cancel_;
};

// Any number of listeners to one kind of notice. A listener may subscribe or
// unsubscribe others, or itself, while a notice is being delivered: one that
// leaves gets nothing more, one that joins hears from the next notice on.
template <typename Notice> class Notices {
public:
    using Listener = std::function<void(const Notice&)>;

    Notices() = default;
    Notices(const Notices&) = delete;
    Notices& operator=(const Notices&) = delete;

    [[nodiscard]] Subscription subscribe(Listener listener) {
        const std::size_t id = ++state_->lastId;
        state_->entries.push_back({id, std::make_shared<Listener>(std::move(listener))});
        std::weak_ptr<State> weak = state_;
        return Subscription([weak, id] {
            if (auto state = weak.lock())
                state->remove(id);
        });
    }

    void notify(const Notice& notice) const {
        // Listeners are kept in the order they joined, so delivery walks the
        // ids rather than a copy of the list (no allocation per notice): each
        // turn looks up the next listener after the last one served, which
        // skips whoever left meanwhile, and stops at those who joined after
        // the notice began. The state and the listener are held during the
        // call: a listener may end the notices' owner, or itself.
        const std::shared_ptr<State> state = state_;
        const std::size_t newestAtStart = state->lastId;
        std::size_t served = 0;
        for (;;) {
            const auto next =
                std::upper_bound(state->entries.begin(), state->entries.end(), served,
                                 [](std::size_t id, const Entry& e) { return id < e.id; });
            if (next == state->entries.end() || next->id > newestAtStart)
                return;
            served = next->id;
            const std::shared_ptr<Listener> listener = next->listener;
            (*listener)(notice);
        }
    }

    std::size_t listenerCount() const { return state_->entries.size(); }

private:
    struct Entry {
        std::size_t id;
        std::shared_ptr<Listener> listener;
    };
    struct State {
        std::vector<Entry> entries;
        std::size_t lastId = 0;
        void remove(std::size_t id) {
            std::erase_if(entries, [id](const Entry& e) { return e.id == id; });
        }
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace kovo
