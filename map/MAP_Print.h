#pragma once
// Printing the map view to a PDF file, and a product's notices as the map
// window draws them.
#include <string>
#include <vector>

#include "map/MAP_Label.h"

namespace tdb {
class Product_t;
}  // namespace tdb

namespace map {

class Window_t;

// The notices of a product in its order, with the show flags: printed without
// and with detail maps, shown on the screen without and with detail maps, and
// whether the entry names a picture file rather than holding a text.
std::vector<Notice_t> ProductNotices(const tdb::Product_t& product);

// Prints the window's view on an A4 page of a PDF file at a fixed resolution
// (plat::PdfDocument_t). The file is written whole or not at all: win::Error_t
// when it cannot be written, and the window's print failures pass through
// with nothing written.
void PrintToPdf(Window_t& window, const std::string& path);

}  // namespace map
