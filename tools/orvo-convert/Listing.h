#pragma once

#include <cstdio>

namespace orvo {
class TStorageX4TFT;

// Prints the catalog as a table, one record a line, in catalog order.
void PrintCatalog(const TStorageX4TFT &engine, std::FILE *out);
// Prints the catalog as one JSON document for scripts: an object whose
// "records" array holds one object per record, in catalog order.
void PrintCatalogJson(const TStorageX4TFT &engine, std::FILE *out);
} // namespace orvo
