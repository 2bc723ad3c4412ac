#include "fade/fade.h"

namespace lullcast {

std::string ColourToHex(Colour /*colour*/) { return {}; }

std::string FadeText(Colour /*start_colour*/, Colour /*end_colour*/, std::string_view /*text*/,
                     bool /*wavy*/) {
    return {};
}

}  // namespace lullcast
