#pragma once
// An opened image whose maps the engine reads: the medium, the disk over it
// and its first partition, whose root directory holds the map sub-files.
// Copies share the medium and the disk.
#include <string>

#include "dsk/DSK_Disk.h"
#include "dsk/DSK_Media.h"
#include "dsk/DSK_Partition.h"
#include "glo/GLO_AutoPtr.h"
#include "plat/PLAT_FileHandle.h"

namespace mpl {

class ImageSource_t {
 public:
  // Not open.
  ImageSource_t() = default;
  // Opens the image file through a file medium and a disk with that cache.
  ImageSource_t(const std::string& path, bool readOnly, const std::string& promptText,
                dsk::MediaPrompterIntf_t* prompter, plat::Handle stopEvent, unsigned cacheBlocks);
  // Over a medium already made; 'owner' is the same object, counted.
  ImageSource_t(dsk::Media_t& media, const glo::SmartPtr_t<glo::RefCounter_t>& owner, unsigned cacheBlocks);
  ImageSource_t(const ImageSource_t& other) = default;
  ImageSource_t& operator=(const ImageSource_t& other);
  // Releases the disk first, then the medium.
  ~ImageSource_t();

  bool IsOpen() const { return m_open; }
  dsk::Media_t* Media() const { return m_media; }
  dsk::Disk_t* Disk() const { return m_disk.Get(); }
  dsk::Partition_t* Partition() const { return m_partition; }

 private:
  void Build(unsigned cacheBlocks);

  glo::SmartPtr_t<glo::RefCounter_t> m_mediaOwner;
  dsk::Media_t* m_media = nullptr;
  glo::SmartPtr_t<dsk::Disk_t> m_disk;
  dsk::Partition_t* m_partition = nullptr;
  bool m_open = false;
};

}  // namespace mpl
