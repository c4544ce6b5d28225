#include "tdb/TDB_Registry.h"

#include "plat/PLAT_Error.h"
#include "tdb/TDB_ProductDir.h"
#include "win/WIN_Exception.h"
#include "win/WIN_RegValue.h"

namespace tdb {

namespace {

const win::RegKey_t::KeyReader_t kReader;

// Every value of the key, in value order, as strings.
std::vector<std::string> ReadAllStrings(const win::RegKey_t& key) {
  std::vector<std::string> texts;
  const unsigned long count = key.ValueCount();
  for (unsigned long i = 0; i < count; ++i) texts.push_back(key.ReadString(key.ValueName(i)));
  return texts;
}

win::RegKey_t OpenOrNoProducts(const win::RegKey_t& parent, const std::string& name) {
  try {
    return win::RegKey_t(parent, name, kReader);
  } catch (const win::RegError_t& e) {
    throw ProductDir_t::NoProductsInstalled_t(e.SourceFile(), e.Line());
  }
}

}  // namespace

ProductInfo_t::ProductInfo_t(const win::RegKey_t& key) {
  tdb = win::ConstRegValue_t<std::string>(key, "TDB").Optional();
  bmap = win::ConstRegValue_t<std::string>(key, "Bmap").Optional();
  loc = win::ConstRegValue_t<std::string>(key, "Loc").Optional();
  notice = win::ConstRegValue_t<std::string>(key, "Notice").Optional();
  partialInstall = win::ConstRegValue_t<bool>(key, "Partial Install").Optional();
  if (win::RegKeyExists(key, "Logos")) {
    const win::RegKey_t logos(key, "Logos", kReader);
    if (win::RegKeyExists(logos, "Startup")) startupLogos = ReadAllStrings(win::RegKey_t(logos, "Startup", kReader));
    if (win::RegKeyExists(logos, "About")) aboutLogos = ReadAllStrings(win::RegKey_t(logos, "About", kReader));
  }
  if (!tdb.IsPresent() || !bmap.IsPresent() || !loc.IsPresent()) throw BadProductInstallation_t(GLO_SRC);
}

Registry_t::Registry_t()
    : m_root(OpenOrNoProducts(win::CompanyMachineKey(), "Globarium")),
      m_products(OpenOrNoProducts(m_root, "Products")) {
  try {
    m_installDir = win::ConstRegValue_t<std::string>(m_products, "InstallDir").Optional();
  } catch (const win::RegError_t& e) {
    throw ProductDir_t::NoProductsInstalled_t(e.SourceFile(), e.Line());
  }
  if (win::RegKeyExists(m_root, "Families")) m_families = win::RegKey_t(m_root, "Families", kReader);
}

const Registry_t& Registry_t::Instance() {
  static const Registry_t registry;
  return registry;
}

std::vector<ProductInfo_t> Registry_t::GetProducts() const {
  std::vector<ProductInfo_t> records;
  for (unsigned long i = 0; i < m_products.SubKeyCount(); ++i)
    records.emplace_back(win::RegKey_t(m_products, i));
  if (m_families.IsPresent()) {
    const win::RegKey_t& families = m_families.Value();
    for (unsigned long f = 0; f < families.SubKeyCount(); ++f) {
      const win::RegKey_t family(families, f);
      for (unsigned long i = 0; i < family.SubKeyCount(); ++i) records.emplace_back(win::RegKey_t(family, i));
    }
  }
  return records;
}

const std::map<std::uint16_t, Family_t>& Registry_t::GetFamilies() const {
  if (!m_familyMap.empty() || !m_families.IsPresent()) return m_familyMap;
  std::map<std::uint16_t, Family_t> families;
  const win::RegKey_t& key = m_families.Value();
  for (unsigned long i = 0; i < key.SubKeyCount(); ++i) {
    const win::RegKey_t familyKey(key, i);
    Family_t family;
    family.id = win::ConstRegValue_t<unsigned short>(familyKey, "ID").Value();
    if (familyKey.ValueExists("MDR")) {
      family.mdr = win::ConstRegValue_t<std::string>(familyKey, "MDR").Optional();
      family.idx = win::ConstRegValue_t<std::string>(familyKey, "IDX").Optional();
      if (!family.idx.IsPresent()) throw win::RegError_t(GLO_SRC, std::string(), plat::kErrorFileNotFound);
    }
    families[family.id] = family;
  }
  m_familyMap = std::move(families);
  return m_familyMap;
}

}  // namespace tdb
