#pragma once

#include <cstdio>

namespace orvo {
class TStorageX4TFT;

// Prints the catalog as a table, one record a line, in catalog order, then a
// line for each record folder that could not be read.
void PrintCatalog(const TStorageX4TFT &engine, std::FILE *out);
// Prints the catalog as one JSON document for scripts: an object whose
// "records" array holds one object per record, in catalog order, and whose
// "unreadable" array one {folder, reason} per record folder that could not
// be read.
void PrintCatalogJson(const TStorageX4TFT &engine, std::FILE *out);
} // namespace orvo
