#pragma once
// Pictures of a resource module: bitmap resources that hold PNG files.
#include <cstdint>
#include <string>

#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_Module.h"

namespace plat {

// The PNG bytes of picture 'id'; false with the error of FindResource.
bool GetPictureBytes(ModuleHandle module, std::uint32_t id, std::string& png);

// Loads picture 'id' into 'bitmap' as a 32-bit bitmap of the picture's size,
// transparent parts over black. False with the error of FindResource, or 13
// when the bytes are not a picture.
bool LoadPicture(ModuleHandle module, std::uint32_t id, Bitmap_t& bitmap);

}  // namespace plat
