#pragma once
// The registration of the installed map products in the machine's settings:
// the root key with the installation folder, one installation record per
// product and the optional product families.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "glo/GLO_Exception.h"
#include "glo/GLO_Optional.h"
#include "win/WIN_RegKey.h"

namespace tdb {

// One installation record: where the product's description file and images are.
struct ProductInfo_t {
  // A product key without its "TDB", "Bmap" or "Loc" value.
  class BadProductInstallation_t : public glo::Exception_t {
   public:
    BadProductInstallation_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
  };

  // Reads the record of a product key; BadProductInstallation_t when a required
  // value is missing, win::RegError_t for a value of the wrong type.
  explicit ProductInfo_t(const win::RegKey_t& key);

  glo::Optional_t<std::string> tdb;
  glo::Optional_t<std::string> bmap;
  glo::Optional_t<std::string> loc;
  glo::Optional_t<std::string> notice;
  glo::Optional_t<bool> partialInstall;
  std::vector<std::string> startupLogos;
  std::vector<std::string> aboutLogos;
};

// A product family: its id and, when it has a search index, the index image
// ("MDR") with its companion value ("IDX").
struct Family_t {
  std::uint16_t id = 0;
  glo::Optional_t<std::string> mdr;
  glo::Optional_t<std::string> idx;
};

class Registry_t {
 public:
  // Opens "Globarium" and its "Products" under the maker's machine key and
  // reads "InstallDir". Failing that: ProductDir_t::NoProductsInstalled_t at
  // the place of the settings error.
  Registry_t();

  // The process-wide registry, built on first use (a failed build is tried
  // again on the next use).
  static const Registry_t& Instance();

  // Every installation record: those under "Products", then those of each
  // family, in the settings' order.
  std::vector<ProductInfo_t> GetProducts() const;
  // The families by id (a later family of the same id replaces an earlier
  // one); read on the first call that finds any.
  const std::map<std::uint16_t, Family_t>& GetFamilies() const;

  const glo::Optional_t<std::string>& GetInstallDir() const { return m_installDir; }
  bool HasFamilies() const { return m_families.IsPresent(); }

 private:
  win::RegKey_t m_root;
  win::RegKey_t m_products;
  glo::Optional_t<std::string> m_installDir;
  glo::Optional_t<win::RegKey_t> m_families;
  mutable std::map<std::uint16_t, Family_t> m_familyMap;
};

}  // namespace tdb
