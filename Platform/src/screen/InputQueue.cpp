#include <deque>
#include <mutex>

#include "screen/InputEvent.h"

namespace ce::screen {
namespace {

struct Queue {
    std::mutex lock;
    std::deque<InputEvent> events;
    std::function<void()> listener;
};

Queue& TheQueue() {
    static Queue* queue = new Queue;  // back-end threads may push during process exit
    return *queue;
}

}  // namespace

void PushInput(const InputEvent& event) {
    Queue& queue = TheQueue();
    std::function<void()> listener;
    {
        std::lock_guard guard(queue.lock);
        queue.events.push_back(event);
        listener = queue.listener;
    }
    if (listener) {
        listener();
    }
}

bool PopInput(InputEvent* event) {
    Queue& queue = TheQueue();
    std::lock_guard guard(queue.lock);
    if (queue.events.empty()) {
        return false;
    }
    *event = queue.events.front();
    queue.events.pop_front();
    return true;
}

void SetInputListener(std::function<void()> listener) {
    Queue& queue = TheQueue();
    std::lock_guard guard(queue.lock);
    queue.listener = std::move(listener);
}

}  // namespace ce::screen
