#pragma once

#include <array>
#include <string_view>

namespace mossleaf {

// The marker that opens every record header of an outline file: "<**********>, i , p ,title".
inline constexpr std::string_view kRecordMarker = "<**********>";

// The UTF-8 byte-order mark, which may stand before the first record.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

namespace detail {
inline constexpr auto kRecordMarkerUnits = [] {
    std::array<char16_t, kRecordMarker.size()> units{};
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(kRecordMarker[i]);
    }
    return units;
}();
}  // namespace detail

// The marker as text, to find it in a title or body: the same ASCII characters.
inline constexpr std::u16string_view kRecordMarkerText(detail::kRecordMarkerUnits.data(),
                                                       detail::kRecordMarkerUnits.size());

}  // namespace mossleaf
