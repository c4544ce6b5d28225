#include "mpl/MPL_Utilities.h"

#include <algorithm>

#include "dsk/DSK_MediaPrompter.h"
#include "glo/GLO_StringResource.h"
#include "mpl/MPL_FileMedia.h"
#include "mpl/MPL_MapDirectory.h"
#include "mpl/MPL_MapsDatabase.h"
#include "plat/PLAT_Event.h"
#include "plat/PLAT_FileOps.h"
#include "tdb/TDB_ProductDir.h"
#include "tdb/TDB_Registry.h"
#include "win/WIN_Exception.h"
#include "win/WIN_Handle.h"

namespace mpl {

namespace {

constexpr int kPromptId = 6663;
constexpr unsigned kProductImageCache = 8;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// String 6663 with the product's name in place of its first "%s" and "%%"
// made '%' (the drive's "%s" stays for the medium's prompt).
std::string PromptText(const std::string& productName) {
  const std::string pattern = glo::StringResource_t(kPromptId, GLO_SRC).Text();
  std::string text;
  bool named = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size()) {
      if (pattern[i + 1] == '%') {
        text += '%';
        ++i;
        continue;
      }
      if (pattern[i + 1] == 's' && !named) {
        text += productName;
        named = true;
        ++i;
        continue;
      }
    }
    text += pattern[i];
  }
  return text;
}

// The default product, or null when no product is installed.
const tdb::Product_t* DefaultProduct(const ProductImageEnv_t& env, const tdb::Registry_t*& registry) {
  try {
    const tdb::ProductDir_t& products = env.products ? *env.products : tdb::ProductDir_t::Instance();
    registry = env.registry ? env.registry : &tdb::Registry_t::Instance();
    return &products.GetProduct(products.GetDefaultProductId());
  } catch (const tdb::ProductDir_t::NoProductsInstalled_t&) {
    return nullptr;
  } catch (const tdb::ProductDir_t::ProductNotFound_t&) {
    return nullptr;
  }
}

}  // namespace

std::vector<std::string> ProductImageFolders(const tdb::Product_t& product, const tdb::Registry_t& registry) {
  std::vector<std::string> folders{product.GetLoc()};
  if (registry.GetInstallDir().IsPresent())
    folders.push_back(registry.GetInstallDir().Value() + "/Updates/" + std::to_string(product.GetId()));
  return folders;
}

std::string ImagePathIn(const std::string& folder, const std::string& baseName) {
  const std::string wanted = baseName + ".img";
  std::vector<std::string> names;
  if (plat::ListFiles(folder, std::string(), names)) {
    std::sort(names.begin(), names.end());
    if (std::find(names.begin(), names.end(), wanted) == names.end())
      for (const std::string& name : names)
        if (SameNoCase(name, wanted)) return folder + "/" + name;
  }
  return folder + "/" + wanted;
}

ImageSource_t OpenProductImage(const std::string& baseName, const std::string& promptSuffix,
                               const ProductImageEnv_t& env) {
  const tdb::Registry_t* registry = nullptr;
  const tdb::Product_t* product = DefaultProduct(env, registry);
  if (!product) return ImageSource_t();
  const std::string prompt = PromptText(product->GetName()) + promptSuffix;
  // The medium keeps its prompter: the shared one outlives every image.
  dsk::MediaPrompterIntf_t* prompter = env.prompter ? env.prompter : &dsk::SharedMediaPrompter();
  dsk::MediaSystem_t& system = env.system ? *env.system : dsk::SystemMedia();
  for (const std::string& folder : ProductImageFolders(*product, *registry)) {
    const std::string path = ImagePathIn(folder, baseName);
    try {
      glo::SmartPtr_t<glo::RefCounter_t> owner;
      FileMedia_t* media = nullptr;
      {
        // The medium holds its own duplicate of the event.
        const win::Handle_t stopEvent(plat::CreateEvent(true, false));
        media = new FileMedia_t(path, true, prompt, prompter, stopEvent.Get(), system);
        owner = media;
      }
      return ImageSource_t(*media, owner, kProductImageCache);
    } catch (const win::FileNotFound_t&) {
    } catch (const dsk::MediaUnavailable_t&) {
    }
  }
  return ImageSource_t();
}

Map_t OpenMapAt(const std::string& baseName, const geo::Position_t& position, const std::string& promptSuffix,
                unsigned bits, const ProductImageEnv_t& env) {
  const ImageSource_t image = OpenProductImage(baseName, promptSuffix, env);
  if (!image.IsOpen()) return Map_t();
  const std::string name = SelectMapName(image, position, bits);
  if (name.empty()) return Map_t();
  MapDirectory_t& directory = env.directory ? *env.directory : MapDirectory_t::Instance();
  if (directory.IsIndexOpen()) return Map_t(image, name, directory.GetSortTable());
  const std::vector<std::string> sorts = GetImageSortNames(image);
  const bool ownSort = std::find(sorts.begin(), sorts.end(), name) != sorts.end();
  return Map_t(image, name, ownSort ? name : std::string());
}

}  // namespace mpl
