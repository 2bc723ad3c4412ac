// Any bytes through two to eight colours, with or without the wave, in any
// face the settings take: the markup is the plain reference's byte for byte,
// two colours give the two-colour fade, and the chat room's reader of the
// markup gets back every character with its colour and its place in the wave.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check.h"
#include "core/colour.h"
#include "fade/announcer.h"
#include "fade/chat_markup.h"
#include "fade/fade.h"
#include "plain_utf8.h"
#include "settings/look_settings.h"

namespace lullcast {
namespace {

using fuzz::Check;

// ---- The reference: one character at a time, in plain arithmetic ----

struct Rgb {
    double red, green, blue;
};

// The colour text's digits, at least six; its first two give blue, the next
// two green and the last two red.
std::string HexText(Colour colour) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%06X", static_cast<unsigned>(colour));
    return text.data();
}

Rgb ChannelsOf(Colour colour) {
    const std::string hex = HexText(colour);
    const auto channel = [](std::string_view two) {
        return static_cast<double>(std::stoul(std::string(two), nullptr, 16));
    };
    return {channel(std::string_view(hex).substr(hex.size() - 2)),
            channel(std::string_view(hex).substr(2, 2)),
            channel(std::string_view(hex).substr(0, 2))};
}

struct Piece {
    std::string character;  // as written: U+FFFD for a bad byte
    unsigned red, green, blue;
    int shift;  // 1 raised, -1 lowered
};

std::vector<Piece> ReferencePieces(std::span<const Colour> colours, std::string_view text,
                                   bool wavy) {
    std::vector<std::string> characters;
    for (std::size_t pos = 0; pos < text.size();) {
        const plain::Decoded decoded = plain::DecodeAt(text, pos);
        characters.emplace_back(decoded.length == 0 ? "\xEF\xBF\xBD"
                                                    : text.substr(pos, decoded.length));
        pos += decoded.length == 0 ? 1 : decoded.length;
    }
    const std::size_t runs = colours.size() - 1;
    std::vector<Piece> pieces;
    for (std::size_t run = 0; run < runs; ++run) {
        const std::size_t length = characters.size() / runs + (run < characters.size() % runs);
        Check(FadeRunLength(characters.size(), runs, run) == length,
              "the runs are as even as they go");
        const Rgb from = ChannelsOf(colours[run]);
        const Rgb to = ChannelsOf(colours[run + 1]);
        const auto at = [length](double start, double end, std::size_t i) {
            const double step = (end - start) / static_cast<double>(length);
            return static_cast<unsigned>(std::nearbyint(start + static_cast<double>(i) * step));
        };
        for (std::size_t i = 1; i <= length; ++i) {
            const std::size_t index = pieces.size();
            const int shifts[] = {1, 0, -1, 0};
            pieces.push_back({characters[index], at(from.red, to.red, i),
                              at(from.green, to.green, i), at(from.blue, to.blue, i),
                              wavy ? shifts[index % 4] : 0});
        }
    }
    return pieces;
}

std::string ReferenceMarkup(const std::vector<Piece>& pieces, bool wavy) {
    const char* const waves[] = {"<sup>", "</sup>", "<sub>", "</sub>"};
    std::string markup;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::array<char, 32> tag{};
        std::snprintf(tag.data(), tag.size(), "<Font Color=#%02X%02X%02X>", pieces[i].red,
                      pieces[i].green, pieces[i].blue);
        markup += tag.data();
        if (wavy) markup += waves[i % 4];
        markup += pieces[i].character;
    }
    return markup;
}

}  // namespace
}  // namespace lullcast

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lullcast;
    FuzzedDataProvider input(data, size);
    std::vector<Colour> colours(input.ConsumeIntegralInRange<std::size_t>(2, 8));
    for (Colour& colour : colours) {
        // Mostly plain colours; now and then one of seven or eight digits.
        colour = input.ConsumeIntegral<Colour>();
        colour &= input.ConsumeBool() ? 0xFFFFFFFFU : 0xFFFFFFU;
        Check(ColourToHex(colour) == HexText(colour), "the colour text is the plain hex");
    }
    const bool wavy = input.ConsumeBool();
    std::string face = input.ConsumeRandomLengthString(40);
    if (!IsFaceName(face)) face = kChatFontFace;
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::vector<Piece> pieces = ReferencePieces(colours, text, wavy);
    const std::string fade = FadeText(colours, text, wavy);
    Check(fade == ReferenceMarkup(pieces, wavy), "the fade is the reference's");
    if (colours.size() == 2) {
        Check(FadeText(colours[0], colours[1], text, wavy) == fade,
              "two colours give the two-colour fade");
    }

    const std::string line =
        ComposeChatLine({.colours = colours, .wavy = wavy, .face = face}, text);
    Check(line == "<font face=\"" + face + "\">" + fade,
          "the chat line is the face's tag and the fade");
    const ShownLine shown = ParseChatLine(line);
    Check(shown.face == face, "the room reads the face back");
    std::vector<ShownCharacter> expected;
    for (const Piece& piece : pieces) {
        for (const char byte : piece.character) {
            expected.push_back({byte,
                                MakeColour(static_cast<std::uint8_t>(piece.red),
                                           static_cast<std::uint8_t>(piece.green),
                                           static_cast<std::uint8_t>(piece.blue)),
                                piece.shift});
        }
    }
    Check(shown.characters == expected, "the room reads back each character, colour and shift");

    // The text read as a line of its own: without a '<' there is no markup.
    const ShownLine raw = ParseChatLine(text);
    if (text.find('<') == std::string::npos) {
        Check(ShownText(raw) == text, "a line without markup shows whole");
        for (const ShownCharacter& character : raw.characters) {
            Check(!character.colour && character.shift == 0, "a line without markup is plain");
        }
    }
    return 0;
}
