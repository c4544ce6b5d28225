#pragma once
// The map window: a child window that shows the view of its projector. It
// draws the map into an off-screen back buffer, copies the back buffer to the
// screen and draws an overlay (hover tip, scale bar, whatever a derived window
// adds) on top. The back buffer is drawn again only when the view changed or
// a redraw is pending; a drawing pass looks for queued user input every 100 ms
// and gives up when that input will change the view anyway.
//
// The zoom state keeps the projector's scale on the zoom steps of the user's
// distance unit; keys, scroll bars (when the window has them) and the wheel pan
// and zoom. Derived windows customise the passes through virtual operations.
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "afx/AFX_IdleListener.h"
#include "afx/AFX_WheelSupportWindow.h"
#include "geo/GEO_Box.h"
#include "geo/GEO_Grid.h"
#include "geo/GEO_Position.h"
#include "glo/GLO_Exception.h"
#include "glo/GLO_Optional.h"
#include "dsk/DSK_Media.h"
#include "map/MAP_Cache.h"
#include "map/MAP_CosProjector.h"
#include "map/MAP_DemShader.h"
#include "map/MAP_FeatureMenu.h"
#include "map/MAP_HoverTip.h"
#include "map/MAP_ImageList.h"
#include "map/MAP_NrstFeature.h"
#include "map/MAP_PopupWindowList.h"
#include "map/MAP_Scale.h"
#include "map/MAP_Tool.h"
#include "mpl/MPL_Map.h"
#include "tdb/TDB_Product.h"
#include "plat/PLAT_Gdi.h"
#include "plat/PLAT_InputProbe.h"
#include "thr/THR_Event.h"

namespace mpl {
class Map_t;
struct Point_t;
}  // namespace mpl
namespace tdb {
class Product_t;
}  // namespace tdb

namespace map {

class Dymo_t;
class Nearest_t;

// Keeps a drawing pass from starting inside another on the same thread: the
// keys of the passes running now. A guard whose key was already present is
// 'alreadyActive' and leaves the set alone.
class RenderGuard_t {
 public:
  RenderGuard_t(const char* file, int line);
  ~RenderGuard_t();
  RenderGuard_t(const RenderGuard_t&) = delete;
  RenderGuard_t& operator=(const RenderGuard_t&) = delete;
  bool AlreadyActive() const { return m_alreadyActive; }

 private:
  std::pair<const char*, int> m_key;
  bool m_alreadyActive;
};

class Window_t : public afx::WheelSupportWindow_t, public afx::IdleListener_t {
 public:
  // Ends a drawing pass; caught by the render step, which shows what was drawn.
  class RenderAborted_t : public glo::Exception_t {
   public:
    RenderAborted_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
  };

  // 'promptText' is kept for the removable-media prompt; 'scrollBars' gives the
  // window both scroll bars when it is created.
  Window_t(std::string promptText, bool scrollBars);
  ~Window_t() override;

  // Makes the child window (style kWsChild | kWsVisible, plus the scroll bars
  // when asked for) over 'rect' of the parent; false when it cannot be made.
  bool CreateMapWindow(plat::Wnd_t* parent, int id, const plat::RECT& rect);

  // ---- wheel and scroll sizes ----
  int GetHorzLineSize() override;
  int GetVertLineSize() override;
  int GetHorzPageSize() override;
  int GetVertPageSize() override;
  bool OnWheelScroll(int dx, int dy, plat::POINT screenPoint) override;

  // ---- view ----
  virtual void SetCenter(const geo::Position_t& position);
  virtual void CenterAtPoint(plat::POINT clientPoint);
  virtual bool ShowsDetailMaps() const;
  // The feature at or near a client point; the base finds none (no map is
  // open). 'abortOnInput': give up between stages when input arrives.
  virtual NrstFeature_t FindNearestFeatureAt(plat::POINT clientPoint, bool abortOnInput);
  virtual int GetHoverRadius(const NrstFeature_t& feature) const;
  // ---- nearest-feature query (MAP_Nearest.cpp) ----
  // The maps shown at the search area's centre, with the layers that take part.
  Nearest_t MakeNearestQuery(const geo::Circle_t& searchArea);
  virtual void Paint(plat::Dc_t& dc);
  virtual void ZoomIn();
  virtual void ZoomOut();
  void ZoomFinest();
  void ZoomAll();
  void ZoomToBox(const geo::Box_t& box);
  virtual void PrepareAndRender(plat::Dc_t& dc);
  virtual void NotifyToolBeforeRender();
  virtual void OnRenderProgress() {}
  virtual void HidePopups(plat::POINT& point);
  virtual void ShowPopups();
  virtual void PaintNotices(plat::Dc_t& dc);
  virtual bool WantsDemShading() const { return false; }
  virtual void DrawOverlay(plat::Dc_t& dc);
  virtual bool IsTracking() const { return m_tracking; }
  virtual int GetColorScheme() const { return 0; }
  virtual void OnHoverShown() {}
  virtual void OnHorzThumbTrack(int) {}
  virtual void OnVertThumbTrack(int) {}
  // The pass below the map: the latitude/longitude graticule.
  virtual void DrawUnderlay(plat::Dc_t& screen, plat::Dc_t& back);

  // ---- render path ----
  void RenderToBackBuffer(plat::Dc_t& dc);
  // One drawing pass into the back buffer; false when it did not run to its
  // end because another pass is running.
  bool RenderMap(plat::Dc_t& dc);
  // Called by the drawing passes: at most every 100 ms looks at the queued
  // input and throws RenderAborted_t when it will change the view.
  void CheckRenderProgress(plat::Dc_t& dc);
  void DrawScaleText(plat::Dc_t& dc);
  void DrawCrossMarker(plat::Dc_t& dc, plat::POINT point);
  void NotifyToolAfterRender(plat::Dc_t& dc);

  // ---- hover ----
  // The idle check: when the cursor rests on the window shows the popups of
  // the feature under it.
  void OnIdle() override { OnIdleHover(); }
  int OnIdleHover();
  // Spins until 'milliseconds' passed (true) or input arrived or the cursor
  // left the window (false).
  bool WaitHover(std::uint32_t milliseconds);
  HoverTip_t& GetHoverTip() { return m_hoverTip; }
  PopupWindowList_t& GetPopups() { return m_popups; }

  // ---- state ----
  void SetInteractive(bool on);
  bool IsInteractive() const { return m_interactive; }
  void SetTool(Tool_t* tool) { m_tool = tool; }
  Tool_t* GetTool() const { return m_tool; }
  void UpdateClientRect();
  void CreateGdiObjects(int scheme);
  CosProjector_t& GetProjector() { return m_projector; }
  const CosProjector_t& GetProjector() const { return m_projector; }
  Scale_t& GetScale() { return m_scale; }
  const plat::Palette_t& GetPalette() const { return m_palette; }
  bool HasScrollBars() const { return m_scrollBars; }
  bool IsFullRedrawPending() const { return m_fullRedraw; }
  // The progress check copies what the pass has drawn so far to the screen
  // (set by passes that draw for long).
  void SetProgressiveBlit(bool on) { m_progressiveBlit = on; }
  // The back buffer, null before the first paint and after a resize.
  const plat::Dc_t* GetBackDc() const { return m_backDc.get(); }
  const std::string& GetPromptText() const { return m_promptText; }

  // ---- points, symbols, cursor and the feature menu's commands ----
  // The hit-test code of the client area; the feature menu's commands that
  // centre on the chosen feature and show its properties.
  static constexpr unsigned kHtClient = 1;
  static constexpr unsigned kCmdCentreOnFeature = 6143;
  static constexpr unsigned kCmdFeatureProperties = 6145;
  // The per-point step of the map drawing passes: the point's symbol from the
  // symbol images drawn on 'target', the light sectors of a light (while not
  // tracking), the progress check on 'windowDc', and the point's label offered
  // to the placement grid when there is one.
  virtual void DrawPoint(plat::Dc_t& windowDc, plat::Dc_t& target, const mpl::Point_t& point, mpl::Map_t& map,
                         Dymo_t* grid);
  // Marks a map point: its symbol in the pip (when it has one) and the text.
  void SetHoverTip(const std::string& text, const mpl::Point_t& point);
  // The point symbols (16 pixels) and road shields (27 pixels) of the
  // language module, loaded on first use; glo::Assert_t when a strip is missing.
  ImageList_t& GetSymbolImages();
  ImageList_t& GetLabelImages();
  // The grid of position texts: one degrees-and-minutes grid for all windows.
  virtual geo::Grid_t& GetGrid();
  // An operation whose form derived windows choose; nothing calls it and this
  // window has none of its own (glo::Assert_t).
  virtual void DerivedOperation();
  // Chooses the cursor for a mouse message: in the client area of an
  // interactive window the tool chooses (its answer is the result) or, without
  // a tool, the cursor stays as it is (true); otherwise false (the window's own
  // cursor shows).
  virtual bool OnSetCursor(plat::HWND window, unsigned hitTest, unsigned mouseMessage);
  // The feature menu's commands are always enabled.
  bool OnUpdateCommand(plat::CmdUI_t& ui) override;

  // ---- map features: choice of map, areas, lines, ticks, light sectors (map/MAP_WindowFeatures.cpp) ----
  // A pen given by style, width and colour.
  struct PenSpec_t {
    int style = plat::kPsSolid;
    int width = 1;
    plat::COLORREF colour = 0;
  };
  // The map of the image that covers the view's centre at its detail bits.
  mpl::Map_t PickMapForView(const mpl::ImageSource_t& image);
  // One area or line of 'map' into 'target'; labels go to the grid (when
  // given) as far as 'clip' (when given) lets them.
  void DrawArea(plat::Dc_t& screen, plat::Dc_t& target, const mpl::Area_t& area, mpl::Map_t& map, Dymo_t* labels,
                const plat::Region_t* clip);
  void DrawLine(plat::Dc_t& screen, plat::Dc_t& target, const mpl::Line_t& line, mpl::Map_t& map, Dymo_t* labels,
                const plat::Region_t* clip);
  // The pen of a line with a style attribute (attribute class 4).
  PenSpec_t MakeAttributePen(const mpl::Line_t& line) const;
  // Tick marks 8 pixels apart along a segment: style 1 and 2 on one side, 3
  // across; 0 none.
  static void DrawTicks(plat::Dc_t& dc, plat::POINT from, plat::POINT to, int style, int length);
  // The sectors of a light as arcs around its position.
  virtual void DrawLightSectors(plat::Dc_t& target, const mpl::Point_t& point, mpl::Map_t& map);
  // Whether an area of 'map' takes the alternate colours of the basemap.
  bool UsesAlternateColors(const mpl::Map_t& map) const;
  // ---- drawing passes (map/MAP_WindowPasses.cpp) ----
  // The points shown at the projector's detail bits.
  virtual mpl::Filter_t GetPointFilter() const;
  // The layers of one map into 'target': part 0 all of them, 1 the first area
  // group only, 2 everything after it. 'clip' (when given) is the part of the
  // view the map is limited to: it limits the labels and which points are drawn.
  virtual void DrawTile(plat::Dc_t& screen, plat::Dc_t& target, mpl::Map_t& map, Dymo_t* labels,
                        const plat::Region_t* clip, int part);
  void DrawAreaGroups(plat::Dc_t& screen, plat::Dc_t& target, mpl::Map_t& map, Dymo_t* labels,
                      const plat::Region_t* clip, int part);
  // One search per filter of the group, in group order.
  void DrawAreaGroup(plat::Dc_t& screen, plat::Dc_t& target, mpl::Map_t& map, Dymo_t* labels,
                     const plat::Region_t* clip, const std::vector<mpl::Filter_t>& group);
  void DrawLines(plat::Dc_t& screen, plat::Dc_t& target, mpl::Map_t& map, Dymo_t* labels, const plat::Region_t* clip);
  void DrawPoints(plat::Dc_t& screen, plat::Dc_t& target, mpl::Map_t& map, Dymo_t* labels,
                  const plat::Region_t* clip);
  // The basemap's view box (once, or twice across the 180-degree meridian):
  // the basemap where no detail tile covers the view, then the detail tiles.
  void DrawMaps(plat::Dc_t& screen, const geo::Box_t& viewBox, Dymo_t* labels);
  virtual void DrawBasemap(plat::Dc_t& screen, const geo::Box_t& viewBox, Dymo_t* labels);
  virtual void DrawDetailTiles(plat::Dc_t& screen, const geo::Box_t& viewBox, Dymo_t* labels);
  virtual void DrawDetailMaps(plat::Dc_t& screen, plat::Dc_t& target, const geo::Box_t& viewBox, Dymo_t* labels,
                              int part);
  // The map-area colour under the drawn tiles with a type-0x4b area in view.
  void FillDetailBackground(plat::Dc_t& screen, const geo::Box_t& viewBox);
  // A removable medium of the basemap is missing; the base fails.
  virtual void OnMediaUnavailable();
  // The product whose flags the passes follow: the installed products'
  // default one (the empty product when none is installed).
  virtual const tdb::Product_t& CurrentProduct() const;
  // The product's box when it has one, else the basemap's.
  geo::Box_t GetMapBox() const;
  // Before a render: elevation shading on or off, the basemap's map for the view.
  void PrepareMapsForRender(plat::Dc_t& dc, bool backBufferRebuilt, int width, int height);
  // The map part of a render into the back buffer: map area, coverage and
  // tile cache, the maps, then the labels.
  void DrawMapLayers(plat::Dc_t& dc);
  bool IsDetailMapsShown() const { return m_detailMapsShown; }
  std::uint8_t GetDetailLevel() const { return m_detailLevel; }
  bool IsProgressiveBlit() const { return m_progressiveBlit; }
  // False for the basemap's layers that the product hides under detail maps.
  bool DrawsAreas(const mpl::Map_t& map) const;
  bool DrawsLines(const mpl::Map_t& map) const;
  bool DrawsPoints(const mpl::Map_t& map) const;

  // ---- elevation shading (MAP_DemShader.cpp) ----
  bool IsDemActive() const { return m_demActive; }
  DemShader_t* GetDemShader() const { return m_demShader.get(); }
  // Shading is on while the window wants it and the basemap has elevation
  // data; a shader is made for a change of that or a new back buffer of
  // width x height compatible with 'reference', and dropped when it goes off.
  // The render calls it before each pass.
  void UpdateDemShader(plat::Dc_t& reference, bool rebuildBackBuffer, int width, int height);

  // ---- printing and notices (MAP_Print.cpp) ----
  // The print target cannot take a stretched DIB.
  class StretchDibNotSupportedException_t : public glo::Exception_t {
   public:
    StretchDibNotSupportedException_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
  };
  // The copy of the view to print could not be made.
  class UnknownPrintException_t : public glo::Exception_t {
   public:
    UnknownPrintException_t(const char* file, int line) : glo::Exception_t(file, line, std::string()) {}
  };
  // Prints the view (rendered at the window's size) fitted to the page above
  // the print notices, the notice pictures stacked up from its lower edge,
  // and frames it.
  virtual void Print(plat::Dc_t& target);
  void DrawPrintPictures(plat::Dc_t& target, plat::Dc_t& memory, int noticeHeight);
  void DrawScreenPictures(plat::Dc_t& paint, plat::Dc_t& back, int noticeHeight);
  // Draws picture 'file' of the folder 'inches' wide at (x, bottom - used -
  // its height), bottom being y + trunc(mapHeight x scale), and adds its height
  // to 'used'; a file that cannot be loaded draws nothing.
  void DrawNoticePicture(plat::Dc_t& target, plat::Dc_t& source, const std::string& folder, const std::string& file,
                         int x, int y, int mapHeight, double scale, float inches, int& used);

 protected:
  void OnCreate() override;
  void OnSize(int clientWidth, int clientHeight) override;
  bool OnEraseBkgnd(plat::Dc_t&) override { return true; }
  void OnPaint(plat::Dc_t& dc) override { Paint(dc); }
  bool OnLButtonDown(unsigned flags, plat::POINT point) override;
  bool OnLButtonUp(unsigned flags, plat::POINT point) override;
  bool OnLButtonDblClk(unsigned flags, plat::POINT point) override;
  bool OnRButtonDown(unsigned flags, plat::POINT point) override;
  bool OnMouseMove(unsigned flags, plat::POINT point) override;
  bool OnKeyDown(unsigned virtualKey, unsigned repeat, unsigned flags) override;
  bool OnMessage(unsigned message, plat::WPARAM wParam, plat::LPARAM lParam, plat::LRESULT& result) override;
  void OnMouseLeave() override;
  void OnScroll(bool vertical, unsigned code, int position);

 private:
  void ErasePopups();
  // The notice over the scale bar and its box's palette colour; none without
  // a basemap or when neither notice applies.
  struct ScaleNotice_t {
    std::string text;
    int colour;
  };
  std::optional<ScaleNotice_t> GetScaleNotice() const;
  // Hides the popups around a tool call that gets the (anchor) point.
  template <typename F>
  void WithPopupsHidden(plat::POINT point, F call) {
    HidePopups(point);
    call(point);
    ShowPopups();
  }
  // A drawing pass ran inside this one (a paint dispatched during the pass).
  bool m_passInterrupted = false;
  // The input held back while a render runs.
  std::unique_ptr<plat::InputProbe_t> m_probe;

  std::string m_promptText;
  std::unique_ptr<plat::Dc_t> m_backDc;
  plat::Palette_t m_palette;
  glo::Optional_t<plat::POINT> m_menuPoint;
  HoverTip_t m_hoverTip;
  PopupWindowList_t m_popups;
  bool m_interactive = false;
  // Elevation shading.
  bool m_demActive = false;
  std::unique_ptr<DemShader_t> m_demShader;
  CosProjector_t m_projector;
  Scale_t m_scale;
  std::uint32_t m_progressMark;
  std::unique_ptr<plat::Bitmap_t> m_backBitmap;
  std::uint8_t m_detailLevel = 0;
  Tool_t* m_tool = nullptr;
  int m_lastHorzThumb = 0;
  int m_lastVertThumb = 0;
  bool m_viewChanged = false;
  bool m_fullRedraw = false;
  bool m_progressiveBlit = false;
  bool m_rebuildBackBuffer = true;
  bool m_detailMapsShown = false;
  bool m_leaveTracked = false;
  bool m_tracking = false;
  bool m_scrollBars;

  // ---- points and symbols ----
  // The cursor for a mouse message in the client area.
  void SetCursorFor(unsigned mouseMessage) { OnSetCursor(GetSafeHwnd(), kHtClient, mouseMessage); }
  // Whether the Control key and the G key are both down now: Control as the
  // window system tells it, G when its last key message held is a press.
  static bool ControlAndGDownNow(const std::vector<plat::QueuedInput_t>& input);
  std::unique_ptr<ImageList_t> m_symbolImages;
  std::unique_ptr<ImageList_t> m_labelImages;

  // ---- basemap and detail tiles (MAP_WindowTiles.cpp) ----
 public:
  // Opens the basemap from the image at 'path' (its medium prompts with
  // 'promptText' on a removable drive; a non-empty 'replacementPrompt' is
  // shown by later prompts); an empty path closes it. Either way the tile
  // cache and the coverage polygons are emptied.
  virtual void OpenMapFile(const std::string& path, const std::string& promptText,
                           const std::string& replacementPrompt);
  // The coverage pass: stores the basemap's type-0x4a polygons around the
  // view box (widened by one cell) by tile id, the one with more points
  // winning for an id found twice. Nothing without a basemap.
  void FindCoveringTiles(const geo::Box_t& viewBox);
  // The tile number of a coverage polygon: its label read as a decimal number.
  std::uint32_t GetTileId(const mpl::Area_t& area);
  mpl::Map_t& GetBasemap() { return m_basemap; }
  const mpl::Map_t& GetBasemap() const { return m_basemap; }
  Cache_t& GetCache() { return m_cache; }
  const Cache_t& GetCache() const { return m_cache; }
  Coverage_t& GetCoverage() { return m_coverage; }
  const Coverage_t& GetCoverage() const { return m_coverage; }
  // The prompt of the window's images and the drives they are looked at
  // through (by default the message box and the running system); the tile
  // cache's images use the same.
  void SetMediaPrompter(dsk::MediaPrompterIntf_t* prompter);
  void SetMediaSystem(dsk::MediaSystem_t* system);
  // Signalled, it stops the window's images from opening and reading.
  thr::Event_t& GetMediaEvent() { return m_mediaEvent; }

 private:
  dsk::MediaPrompterIntf_t* m_mediaPrompter = nullptr;  // null: the shared message box
  dsk::MediaSystem_t* m_mediaSystem = nullptr;          // null: the running system
  thr::Event_t m_mediaEvent{nullptr, true, false, nullptr};
  mpl::Map_t m_basemap;
  Coverage_t m_coverage;
  Cache_t m_cache;

  // ---- the right-click feature menus (map/MAP_FeatureMenu.cpp) ----
 public:
  // With a tool installed: the choice menu of the features near the point
  // (when there is more than one), then the command menu of the chosen one.
  bool OnRButtonUp(unsigned flags, plat::POINT point) override;
  // Collects the features and lets the user choose one; false when the
  // choice menu was dismissed.
  virtual bool ShowFeatureMenu(plat::POINT point);
  // Appends the command entries of the chosen feature.
  virtual void FillFeatureMenu(plat::Menu_t& menu, plat::POINT point);
  // Carries out a command of the command menu (0: dismissed); always true.
  virtual bool ShowFeatureProperties(unsigned flags, plat::POINT point, unsigned command);
  virtual glo::Optional_t<std::string> HasFeatureProperties() const;
  virtual glo::Optional_t<std::string> GetFeatureMenuText() const;
  FeatureMenu_t CollectMenuFeatures(plat::POINT point);
  std::vector<NrstText_t> FindTideStationsAt(plat::POINT point, int radius);
  void BuildFeatureChoiceMenu(const FeatureMenu_t& features, plat::Menu_t& menu);
  void SelectMenuFeature(const FeatureMenu_t& features, std::size_t index, plat::POINT point);
  static std::string EscapeMenuText(const std::string& text);
  std::string GetPointMenuText(const NrstText_t& point);
  // Centres the view on the chosen feature and zooms to its kind of feature.
  void ShowFoundFeature();
  const NrstFeature_t& GetChosenFeature() const { return m_chosenFeature; }
  const glo::Optional_t<plat::POINT>& GetMenuPoint() const { return m_menuPoint; }

 private:
  NrstFeature_t m_chosenFeature;
  unsigned m_menuFirstCommand = 6800;
};

}  // namespace map
