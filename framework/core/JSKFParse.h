#pragma once
// Parsing JSON text into an ordered document in linear time. nlohmann's own parser looks every
// key up in the object's list of members before adding it, which makes an object of n members
// take n² steps; here members are appended and keys checked against a hash set.
#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

enum class JSKDuplicateKeys {
  refuse,    // a key given twice in one object fails the parse, naming it
  keepLast,  // the later value replaces the earlier one, in the earlier one's place
};

// True with the document in *out; false with the reason in *error: "not JSON at line L, column
// C: <what the parser met>", or "<entry>: is given twice" where entry is the key's path ("processors[2].label").
[[nodiscard]] bool JSKFParseOrdered(std::string_view text, nlohmann::ordered_json* out, JSKDuplicateKeys duplicates,
                                    std::string* error);
