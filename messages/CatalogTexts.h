// The texts of the message catalog as one table, in index order.
#pragma once

#include <cstdint>
#include <span>

struct CatalogEntry {
  std::int32_t index;
  const char* srb;
  const char* eng;  // nullptr: the entry has no English text
};

std::span<const CatalogEntry> CatalogEntries();
