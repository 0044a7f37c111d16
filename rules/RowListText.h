// RowListText: what the row list says when an edit would give two rows one from text, in the
// dialog and on the browser page alike (a from text stands in one row only, so that the first
// matching row is the only one).
#pragma once

namespace rules::row_list_text {

inline constexpr const char* kIdenticalTitle = "Can't add identical pitches";
inline constexpr const char* kFromExists = "The pitch to change 'from' already exists in the list.";
inline constexpr const char* kInverseFromExists =
    "The pitch to change 'from' (which appear in the 'To' field at the top, since you're trying "
    "to add the inverse) already exists in the list.";
inline constexpr const char* kIdenticalElsewhereTitle = "Can't have identical pitches";
inline constexpr const char* kFromExistsElsewhere =
    "The pitch to change 'from' already exists in the list at another place.";

}  // namespace rules::row_list_text
