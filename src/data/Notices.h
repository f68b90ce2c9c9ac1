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
        // A copy, so that changes of the list during delivery do no harm; the
        // id check skips whoever left meanwhile.
        // The state is held too: a listener may end the notices' owner.
        const std::shared_ptr<State> state = state_;
        const std::vector<Entry> now = state->entries;
        for (const Entry& e : now)
            if (state->contains(e.id))
                (*e.listener)(notice);
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
        bool contains(std::size_t id) const {
            return std::any_of(entries.begin(), entries.end(),
                               [id](const Entry& e) { return e.id == id; });
        }
        void remove(std::size_t id) {
            std::erase_if(entries, [id](const Entry& e) { return e.id == id; });
        }
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace kovo
