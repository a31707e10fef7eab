#pragma once

#include "tables/EquipmentTable.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace skarvel {

// One kind's table for scripts, every column by its key (EquipmentColumn::key), the rows in
// file order, texts in UTF-8.

// The text a cell shows (a pending change, else the value read).
using ShownCell = std::function<std::string(std::size_t row, std::size_t column)>;

// RFC 4180 CSV: a header row of keys, the nickname first (the key column of an import), then
// the rows given, numbers with a point, CR LF; a byte order mark when asked for.
std::string equipmentCsv(const EquipmentKind& kind, const std::vector<std::size_t>& rows,
                         const std::vector<std::size_t>& columns, const ShownCell& shown,
                         bool byteOrderMark = false);
// Every row and column as read.
std::string equipmentCsv(const EquipmentKind& kind);

// A JSON array of one object per row: the files' values as the texts they hold (null when the
// section has no such key), derived values as numbers (null when they cannot be worked out).
std::string equipmentJson(const EquipmentKind& kind);

} // namespace skarvel
