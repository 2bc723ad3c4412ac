#include "edit_text.h"

#include <algorithm>
#include <utility>

namespace lullcast::standin {

void EditText::SetText(std::string text) {
    text_ = std::move(text);
    start_ = 0;
    end_ = 0;
}

std::string EditText::Take() {
    std::string text = std::move(text_);
    SetText({});
    return text;
}

void EditText::Type(char byte) {
    text_.replace(start_, end_ - start_, 1, byte);
    start_ += 1;
    end_ = start_;
}

void EditText::Backspace() {
    if (start_ == end_) {
        if (start_ == 0) {
            return;
        }
        --start_;
    }
    text_.erase(start_, end_ - start_);
    end_ = start_;
}

void EditText::Select(std::uint32_t start, std::uint32_t end) {
    constexpr std::uint32_t kNoSelection = 0xFFFFFFFFU;
    if (start == kNoSelection) {
        start_ = end_;
        return;
    }
    const auto clamped = [this](std::uint32_t offset) {
        return std::min<std::size_t>(offset, text_.size());
    };
    start_ = std::min(clamped(start), clamped(end));
    end_ = std::max(clamped(start), clamped(end));
}

}  // namespace lullcast::standin
