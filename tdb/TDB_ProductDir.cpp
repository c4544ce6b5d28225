#include "tdb/TDB_ProductDir.h"

#include "bin/BIN_stream.h"
#include "glo/GLO_SplitPath.h"
#include "plat/PLAT_File.h"
#include "tdb/TDB_Signature.h"
#include "win/WIN_File.h"
#include "win/WIN_MappedFile.h"
#include "win/WIN_MappedFileView.h"

namespace tdb {

ProductDir_t::ProductDir_t(const Registry_t& registry) {
  const std::vector<ProductInfo_t> records = registry.GetProducts();
  if (records.empty()) throw NoProductsInstalled_t(GLO_SRC);
  for (const ProductInfo_t& info : records) {
    const std::string& path = info.tdb.Value();
    bin::ifstream file(path);
    if (!file.is_open() || file.fail()) throw ProductNotFound_t(GLO_SRC);
    Product_t product(info.loc.Value(), info.bmap.Value(), path, info.startupLogos, info.aboutLogos,
                      info.notice.IsPresent() ? info.notice.Value() : std::string(),
                      info.partialInstall.IsPresent() && info.partialInstall.Value());
    product.Read(file);
    file.close();
    CheckSignature(product);
    const std::uint32_t id = product.GetId();
    if (!m_products.emplace(id, std::move(product)).second) throw glo::Exception_t(GLO_SRC, std::string());
  }
  m_products.emplace(0u, GetEmptyProduct());
  m_defaultProductId = m_products.begin()->first;
}

const ProductDir_t& ProductDir_t::Instance() {
  static const ProductDir_t directory(Registry_t::Instance());
  return directory;
}

const Product_t& ProductDir_t::GetProduct(std::uint32_t productId) const {
  const auto found = m_products.find(productId);
  if (found == m_products.end()) throw ProductNotFound_t(GLO_SRC);
  return found->second;
}

void ProductDir_t::CheckSignature(const Product_t& product) {
  const std::string& stored = product.GetSignature().GetBytes();
  if (product.GetSignatureRequired() == 0 && product.GetFormatVersion() / 100 < 4 && stored.empty()) return;
  GLO_ASSERT(stored.size() == kSignatureSize);

  const std::string& path = product.GetTdbPath();
  win::File_t file(path, plat::kGenericRead, plat::kOpenExisting);
  bool match = false;
  if (file.Size() >= kSignatureRecordSize) {
    win::MappedFile_t mapping(file, nullptr, plat::kPageReadOnly, 0, 0, nullptr);
    win::MappedFileView_t view;
    view.Map(mapping, plat::kFileMapRead, 0, 0, 0);
    std::uint8_t computed[kSignatureSize] = {};
    MakeSignature(view.Address(), static_cast<std::size_t>(mapping.Size() - kSignatureRecordSize), computed);
    match = CompareSignatures(computed, reinterpret_cast<const std::uint8_t*>(stored.data())) == 0;
    view.Unmap();
  }
  if (!match) throw glo::Exception_t(GLO_SRC, glo::SplitPath_t(path).FileName());
}

}  // namespace tdb
