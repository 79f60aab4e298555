// The Qt user interface lives in this folder; this unit keeps the library non-empty.
namespace ledra::gui {
int guiLibraryVersion() { return 1; }
}  // namespace ledra::gui
