#pragma once
// Opening the images of the current map product: an image is looked for by
// its base name in the product's own folder, then among the updates of the
// installation (<install folder>/Updates/<product id>), matched by name
// without regard to case (".img" or ".IMG"). An image on a removable or
// optical drive that cannot be read makes its medium ask the user to put the
// medium back; a refusal moves on to the next folder.
#include <cstdint>
#include <string>
#include <vector>

#include "dsk/DSK_Media.h"
#include "geo/GEO_Position.h"
#include "mpl/MPL_EngineImage.h"
#include "mpl/MPL_Map.h"
#include "plat/PLAT_FileHandle.h"

namespace tdb {
class ProductDir_t;
class Product_t;
class Registry_t;
}  // namespace tdb

namespace mpl {

class MapDirectory_t;

// Where the product comes from and how media ask for a medium. Every member
// left null stands for the process-wide object (the installed products, their
// registry root, the map directory, the message-box prompter, the running
// system's drives and clock).
struct ProductImageEnv_t {
  const tdb::ProductDir_t* products = nullptr;
  const tdb::Registry_t* registry = nullptr;
  MapDirectory_t* directory = nullptr;
  dsk::MediaPrompterIntf_t* prompter = nullptr;
  dsk::MediaSystem_t* system = nullptr;
};

// The folders searched for the product's images, in order.
std::vector<std::string> ProductImageFolders(const tdb::Product_t& product, const tdb::Registry_t& registry);

// The path of the image 'baseName' in the folder: the first file whose name is
// baseName + ".img" without regard to case, else that name as it is.
std::string ImagePathIn(const std::string& folder, const std::string& baseName);

// The image 'baseName' of the default product, opened read-only with a cache
// of 8 blocks; its medium's prompt is string 6663 with the product's name put
// in, followed by 'promptSuffix'. Not open when no folder holds the image, the
// user refuses the medium, or no product is installed; other failures raise.
ImageSource_t OpenProductImage(const std::string& baseName, const std::string& promptSuffix,
                               const ProductImageEnv_t& env = ProductImageEnv_t());

// The map of the image 'baseName' to show at 'position' with 'bits' of
// resolution (SelectMapName). It takes the map directory's sort table while
// the directory's name index is open, else its own sort table when the image
// has one of the map's name. Closed when the image cannot be opened.
Map_t OpenMapAt(const std::string& baseName, const geo::Position_t& position, const std::string& promptSuffix,
                unsigned bits, const ProductImageEnv_t& env = ProductImageEnv_t());

}  // namespace mpl
