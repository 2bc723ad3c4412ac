#include "support/virtual_event_loop.h"
#include "window_builder.h"

namespace lullcast::quill_aol8 {

struct WindowBuilder::Platform {
    WindowTree functions;
    VirtualEventLoop loop;
};

WindowBuilder::WindowBuilder()
    : platform_(std::make_unique<Platform>()),
      loop_(platform_->loop),
      windows(platform_->functions) {}
WindowBuilder::~WindowBuilder() = default;

WindowHandle WindowBuilder::Make(std::string_view class_name, WindowHandle parent) {
    return platform_->functions.Create(class_name, parent);
}
void WindowBuilder::BringToTop(WindowHandle window) { platform_->functions.BringToTop(window); }
void WindowBuilder::Destroy(WindowHandle window) { platform_->functions.Destroy(window); }
std::vector<ReceivedMessage> WindowBuilder::Received(WindowHandle window) const {
    return platform_->functions.Received(window);
}
void WindowBuilder::Type(WindowHandle window, std::string_view text) {
    platform_->functions.Type(window, text);
}
std::string WindowBuilder::Text(WindowHandle window) const {
    return platform_->functions.Text(window);
}
void WindowBuilder::StopAnsweringAfter(WindowHandle window, std::size_t messages) {
    platform_->functions.StopAnsweringAfter(window, messages);
}
void WindowBuilder::AnswerAgain(WindowHandle window) { platform_->functions.AnswerAgain(window); }
void WindowBuilder::KeepLines(WindowHandle window, std::size_t wrap, std::size_t most_copied,
                              bool gives_breaks) {
    platform_->functions.KeepLines(window, wrap, most_copied, gives_breaks);
}

}  // namespace lullcast::quill_aol8
