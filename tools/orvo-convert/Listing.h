#pragma once

#include <cstdio>

namespace orvo {
class TStorageX4TFT;

// Prints the catalog as a table, one record a line, in catalog order.
void PrintCatalog(const TStorageX4TFT &engine, std::FILE *out);
} // namespace orvo
