#pragma once
// The save-file dialog.
#include <functional>
#include <string>

namespace plat {

class Wnd_t;

struct FileDialogOptions {
  std::string title;
  // "XML files (*.xml)|*.xml|All files (*.*)|*.*": pairs of a name and patterns.
  std::string filter;
  std::string defaultExtension;  // without the dot; added to a name without one
  std::string fileName;          // proposed name (may include a folder)
};

// Asks for the name of a file to save (a file that exists is confirmed by the
// user first). False when the user cancels.
bool GetSaveFileName(Wnd_t* owner, const FileDialogOptions& options, std::string& path);

// Test hook: when set, GetSaveFileName shows nothing and returns what the hook
// does (true with a path, or false for a cancel). Null removes it.
using FileDialogHook = std::function<bool(const FileDialogOptions& options, std::string& path)>;
void SetFileDialogHook(FileDialogHook hook);

}  // namespace plat
