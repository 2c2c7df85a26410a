// The Device manager page of the window: the device tree on the left, the properties of the
// selected device on the right, a splitter between them.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavrin::gather {
class TGetFunctionsClass;
}
namespace tavrin::pages {
struct DeviceTreeNode;
}

namespace tavrin::window {

class SectionListView;

class DeviceTreePage : public QWidget {
 public:
  /// `details` is the page's list (drawing the controller's devices page); it moves into this
  /// page beside the tree.
  DeviceTreePage(gather::TGetFunctionsClass& controller, SectionListView* details,
                 QWidget* parent = nullptr);
  /// Stops following the list's redraws before the children (the list among them) go.

  /// Builds the tree when a gathering has ended since it was last built.
  void BuildTreeIfStale();
  void ExpandAll();
  void CollapseAll();
  QTreeWidget* tree() const { return tree_; }
  QSplitter* splitter() const { return splitter_; }
  SectionListView* details() const { return details_; }

  /// "Copy selected" takes the tree's selection rather than rows of the details list: when
  /// the tree has the focus or no row of the list is selected.
  bool CopiesTreeSelection() const;
  /// The selected node as text: a device with its properties, a group or the root with
  /// everything below it.
  std::string SelectedNodeText() const;
  /// "Copy all": the whole tree, then the properties of the selected device.
  std::string AllText() const;

  /// The narrowest the tree may be made with the splitter.
  static constexpr int kMinTreeWidth = 100;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildTree();
  /// The selection handler: a device shows its properties, the root or a group its caption.
  void SelectionChanged();
  void RenderDetails();
  /// The list was redrawn from its page by the window (after the page's filler, a report or a
  /// mode switch): show the tree's selection in it again.
  void FollowOutsideRedraw();
  /// The page model's tree of the current device list, and in it the node shown selected.
  pages::DeviceTreeNode ModelTree() const;
  /// The shown tree was built from the aggregate's current device list.
  bool ShowsCurrentList() const;
  const pages::DeviceTreeNode* SelectedModelNode(const pages::DeviceTreeNode& root) const;

  gather::TGetFunctionsClass& controller_;
  SectionListView* details_;
  QTreeWidget* tree_;
  QSplitter* splitter_;
  const void* built_for_ = nullptr;  // the device list the tree was built from
  uint64_t built_refresh_ = 0;       // and its refresh count then
  bool collapsed_once_ = false;
};

/// Puts the details list of the devices page into a Device manager page; the window's hook.
QWidget* MakeDeviceTreePage(gather::TGetFunctionsClass& controller, SectionListView* details,
                            QWidget* parent);

}  // namespace tavrin::window
