#pragma once

#include <string>
#include <string_view>

namespace skarvel {

// The caption of an edited control for the user, as undo texts and the Fleet page's column
// headers name it ("Hit points" for edPanzerung). A field of the field table without a
// caption gives the key it shows; any other control an empty text.
std::string fieldLabel(std::string_view control);

} // namespace skarvel
