// Table rows print as their names in test listings, instead of as bytes.
#pragma once

#include <ostream>

namespace velmora::testing_support {

template <typename Row>
    requires requires(const Row& row) { row.name; }
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

}  // namespace velmora::testing_support
