#include <map>
#include <utility>

#include "support/virtual_event_loop.h"
#include "window_builder.h"

namespace lullcast::quill_aol8 {

// Forwards to the tree and lets the addressed window react afterwards, as a
// real window procedure would while the message is being sent.
struct WindowBuilder::World final : WindowFunctions {
    WindowTree tree;
    VirtualEventLoop loop;
    std::map<WindowHandle, std::function<void(const ReceivedMessage&)>> reactions;

    void React(WindowHandle window) {
        const auto reaction = reactions.find(window);
        if (tree.Exists(window) && reaction != reactions.end()) {
            // A copy: the reaction may create windows, which moves the records.
            const ReceivedMessage received = tree.Received(window).back();
            reaction->second(received);
        }
    }

    void ScheduleTick(std::chrono::milliseconds interval, std::function<void()> tick) {
        loop.After(interval, [this, interval, tick = std::move(tick)] {
            tick();
            ScheduleTick(interval, tick);
        });
    }

    WindowHandle FindTopLevel(std::string_view class_name) override {
        return tree.FindTopLevel(class_name);
    }
    WindowHandle FindChild(WindowHandle parent, WindowHandle after,
                           std::string_view class_name) override {
        return tree.FindChild(parent, after, class_name);
    }
    WindowHandle FirstSibling(WindowHandle window) override { return tree.FirstSibling(window); }
    WindowHandle NextSibling(WindowHandle window) override { return tree.NextSibling(window); }
    void SetText(WindowHandle window, std::string_view text) override {
        tree.SetText(window, text);
        React(window);
    }
    void SendChar(WindowHandle window, std::uint32_t character) override {
        tree.SendChar(window, character);
        React(window);
    }
    void LeftButtonDown(WindowHandle window) override {
        tree.LeftButtonDown(window);
        React(window);
    }
    void LeftButtonUp(WindowHandle window) override {
        tree.LeftButtonUp(window);
        React(window);
    }
    void KeyUp(WindowHandle window, std::uint32_t virtual_key) override {
        tree.KeyUp(window, virtual_key);
        React(window);
    }
};

WindowBuilder::WindowBuilder() : world_(std::make_unique<World>()) {}
WindowBuilder::~WindowBuilder() = default;

WindowHandle WindowBuilder::Create(std::string_view class_name, WindowHandle parent) {
    return world_->tree.Create(class_name, parent);
}

void WindowBuilder::BringToTop(WindowHandle window) { world_->tree.BringToTop(window); }
void WindowBuilder::Destroy(WindowHandle window) { world_->tree.Destroy(window); }

std::vector<ReceivedMessage> WindowBuilder::Received(WindowHandle window) const {
    return world_->tree.Received(window);
}

void WindowBuilder::OnReceive(WindowHandle window,
                              std::function<void(const ReceivedMessage&)> reaction) {
    world_->reactions[window] = std::move(reaction);
}

void WindowBuilder::Post(std::function<void()> event) {
    world_->loop.After(MonoTime{0}, std::move(event));
}

void WindowBuilder::Every(std::chrono::milliseconds interval, std::function<void()> tick) {
    world_->ScheduleTick(interval, std::move(tick));
}

WindowFunctions& WindowBuilder::Windows() { return *world_; }
EventLoop& WindowBuilder::Loop() { return world_->loop; }
int WindowBuilder::Yields() const { return world_->loop.ProcessCount(); }

}  // namespace lullcast::quill_aol8
