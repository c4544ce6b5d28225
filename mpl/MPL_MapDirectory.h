#pragma once
// The search index of the current map product's family, held for the whole
// process: the family's MDR and sort table from its index image, the locale of
// the sort table's code page and the loaded section 16 records. It follows the
// default product: a product of another family loads that family's index, a
// product without family empties it.
#include <array>
#include <cstdint>
#include <locale>
#include <string>
#include <vector>

#include "mpl/MPL_EngineImage.h"
#include "mpl/MPL_Mdr.h"
#include "tdb/TDB_Registry.h"

namespace mpl {

// The base names (before the first '.') of the image's root entries whose
// names contain the extension, sorted.
std::vector<std::string> ListImageFiles(const ImageSource_t& image, const std::string& extension);

class MapDirectory_t {
 public:
  struct Entry_t {
    std::string name;
    std::uint32_t first = 0;
    std::uint32_t second = 0;
  };

  // Empty: the index closed and cleared, the default locale.
  MapDirectory_t();
  MapDirectory_t(const MapDirectory_t&) = delete;
  MapDirectory_t& operator=(const MapDirectory_t&) = delete;
  virtual ~MapDirectory_t();

  // The process-wide directory, brought up to date with the installed
  // products' default product first.
  static MapDirectory_t& Instance();

  // Brings the directory up to date for the default product: a product of
  // family 0 empties it; the product it was last loaded for leaves it as it
  // is; another product's family index is loaded (a family without index image
  // empties it). Throws glo::Assert_t for a family the registry lacks and for
  // an index image without MDR; the directory is empty then and the product is
  // remembered, so the same product is not tried again.
  void Update(std::uint32_t defaultProductId, const tdb::Registry_t& registry);
  // Replaces the content by the index 'indexName' of the image; glo::Assert_t
  // when it cannot be opened or its section 16 cannot be read.
  void Load(const ImageSource_t& image, const std::string& indexName);
  // Closes the index, frees the section 16 records and empties the lists.
  void Clear();

  // Whether the MDR of an index is open.
  bool IsIndexOpen() const;
  const MdbIndex_t& GetIndex() const { return m_index; }
  const MdbSubfile_t& GetSortTable() const { return m_index.srt; }
  const std::locale& GetLocale() const { return m_locale; }
  const std::vector<std::uint8_t>& GetSection16() const { return m_section16; }
  // The product the directory was last brought up to date for (0: none).
  std::uint32_t GetProductId() const { return m_productId; }

 private:
  void CloseContext();

  MdbIndex_t m_index;
  std::vector<std::uint8_t> m_section16;
  std::locale m_locale;
  std::array<std::vector<Entry_t>, 4> m_lists;
  std::uint32_t m_productId = 0;
};

}  // namespace mpl
