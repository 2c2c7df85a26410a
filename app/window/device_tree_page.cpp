#include "app/window/device_tree_page.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QSplitter>
#include <QTreeWidget>
#include <map>

#include "app/window/icons.h"
#include "app/window/section_list_view.h"
#include "collectors/system_info.h"
#include "gather/controller.h"
#include "pages/device_tree.h"
#include "pages/page_layouts.h"
#include "report/device_tree_text.h"
#include "text/labels.h"

namespace tavrin::window {
namespace {

constexpr int kIndexRole = Qt::UserRole + 1;  // device index of a device node

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The device images by their index in the device image list, as theme icon names.
const char* ImageName(int index) {
  static const std::map<int, const char*> names = {{0, "computer"},
                                                   {1, "computer"},
                                                   {2, "video-display"},
                                                   {3, "monitor"},
                                                   {4, "drive-harddisk"},
                                                   {5, "media-floppy"},
                                                   {6, "drive-partition"},
                                                   {7, "drive-optical"},
                                                   {8, "media-tape"},
                                                   {9, "battery"},
                                                   {10, "camera-photo"},
                                                   {11, "input-keyboard"},
                                                   {12, "input-mouse"},
                                                   {13, "modem"},
                                                   {14, "network-wired"},
                                                   {15, "network-card"},
                                                   {16, "battery"},
                                                   {17, "drive-harddisk"},
                                                   {18, "dialog-question"},
                                                   {19, "audio-card"},
                                                   {20, "drive-removable-media-usb"},
                                                   {25, "media-tape"},
                                                   {26, "input-gaming"},
                                                   {27, "find-location"},
                                                   {28, "preferences-system"},
                                                   {29, "network-wireless"},
                                                   {35, "printer"},
                                                   {39, "media-tape"},
                                                   {41, "cpu"},
                                                   {42, "preferences-system-bluetooth"}};
  auto it = names.find(index);
  return it == names.end() ? "preferences-system" : it->second;
}

QIcon DeviceImage(int index, bool problem) {
  QIcon icon = ThemedIcon(ImageName(index));
  if (icon.isNull()) icon = ThemedIcon("preferences-system");
  if (!problem) return icon;
  // A device that needs attention: the class image with a warning mark in its corner.
  QPixmap pixmap = icon.pixmap(32, 32);
  if (pixmap.isNull()) pixmap = QPixmap(32, 32), pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  const QRect corner(12, 12, 20, 20);
  const QIcon warning = ThemedIcon("dialog-warning");
  if (!warning.isNull()) {
    warning.paint(&painter, corner);
  } else {
    // No icon theme (a bare X server): an amber triangle with a mark, drawn here.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(120, 80, 0), 1.5));
    painter.setBrush(QColor(250, 190, 20));
    painter.drawPolygon(QPolygonF({QPointF(corner.center().x() + 0.5, corner.top() + 1.0),
                                   QPointF(corner.right(), corner.bottom()),
                                   QPointF(corner.left() + 1.0, corner.bottom())}));
    painter.fillRect(QRectF(corner.center().x() - 0.5, corner.top() + 7, 2.5, 7), Qt::black);
    painter.fillRect(QRectF(corner.center().x() - 0.5, corner.bottom() - 4, 2.5, 2.5), Qt::black);
  }
  painter.end();
  return QIcon(pixmap);
}

QTreeWidgetItem* AddNode(const pages::DeviceTreeNode& node) {
  auto* item = new QTreeWidgetItem({FromUtf8(node.caption)});
  item->setIcon(0, DeviceImage(node.image, node.problem));
  if (node.deviceIndex >= 0) {
    item->setData(0, kIndexRole, node.deviceIndex);
    if (!node.driver.empty())
      item->setToolTip(0, FromUtf8(node.caption + " (" + node.driver + ")"));
  }
  for (const auto& child : node.children) item->addChild(AddNode(child));
  return item;
}

}  // namespace

DeviceTreePage::DeviceTreePage(gather::TGetFunctionsClass& controller, SectionListView* details,
                               QWidget* parent)
    : QWidget(parent), controller_(controller), details_(details) {
  setObjectName("pnlDevicesBack");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName("Splitter1");
  splitter_->setHandleWidth(1);
  tree_ = new QTreeWidget(splitter_);
  tree_->setObjectName("treeDevices");
  tree_->setHeaderHidden(true);
  tree_->setIndentation(19);
  tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setIconSize(QSize(16, 16));
  // The splitter refuses a tree narrower than this, and never hides it.
  tree_->setMinimumWidth(kMinTreeWidth);
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  details_->setParent(splitter_);
  details_->setObjectName("zuDeviceDetails");
  splitter_->addWidget(tree_);
  splitter_->addWidget(details_);
  splitter_->setCollapsible(0, false);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({273, 600});
  layout->addWidget(splitter_);

  auto* menu = new QMenu(tree_);
  menu->setObjectName("mnuDevices");
  QAction* expand = menu->addAction(ThemedIcon("go-down"), FromUtf8(lbl::S_HARD_EXPAND_ALL));
  expand->setObjectName("ExpandAll1");
  QAction* collapse = menu->addAction(ThemedIcon("go-up"), FromUtf8(lbl::S_HARD_COLLAPSE_ALL));
  collapse->setObjectName("CollapsAll1");
  connect(expand, &QAction::triggered, this, [this] { ExpandAll(); });
  connect(collapse, &QAction::triggered, this, [this] { CollapseAll(); });
  connect(tree_, &QWidget::customContextMenuRequested, this,
          [this, menu](const QPoint& at) { menu->popup(tree_->viewport()->mapToGlobal(at)); });
  // Mouse and keyboard both move the current item; either shows its properties.
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { SelectionChanged(); });
  // The window redraws the list from its page when the page is shown (after the page's
  // filler put the root's caption there), after a report and after a mode switch; the list
  // then shows the tree's selection again, once the window's redraw is done.
  details_->FollowRedraws(this, [this] { FollowOutsideRedraw(); });
}

void DeviceTreePage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  BuildTreeIfStale();
}

void DeviceTreePage::BuildTreeIfStale() {
  if (!controller_.Gathered() || controller_.InProgress() || !controller_.Aggregate()) return;
  const auto& devices = controller_.Aggregate()->Devices();
  if (built_for_ == &devices && built_refresh_ == devices.RefreshCount()) return;
  BuildTree();
}

pages::DeviceTreeNode DeviceTreePage::ModelTree() const {
  pages::PageSummary summary;
  const pages::FillContext ctx{*controller_.Aggregate(), controller_.AdvancedMode(), summary};
  return pages::BuildDeviceTree(controller_.Aggregate()->Devices(),
                                pages::DeviceTreeComputerName(ctx));
}

void DeviceTreePage::BuildTree() {
  const auto& devices = controller_.Aggregate()->Devices();
  const pages::DeviceTreeNode root = ModelTree();
  tree_->setUpdatesEnabled(false);
  tree_->clear();
  QTreeWidgetItem* item = AddNode(root);
  tree_->addTopLevelItem(item);
  item->setExpanded(true);
  tree_->setUpdatesEnabled(true);
  built_for_ = &devices;
  built_refresh_ = devices.RefreshCount();
  tree_->setCurrentItem(item);
  SelectionChanged();
}

void DeviceTreePage::SelectionChanged() {
  pages::Page* page = controller_.FindPage("devicesinfo");
  if (!page || !controller_.Aggregate() ||
      page->Sections().size() != static_cast<std::size_t>(pages::devices_section::kCount))
    return;
  QTreeWidgetItem* item = tree_->currentItem();
  const QVariant index = item ? item->data(0, kIndexRole) : QVariant();
  if (index.isValid()) {
    const pages::FillContext ctx{*controller_.Aggregate(), controller_.AdvancedMode(),
                                 controller_.summary};
    pages::FillDeviceDetails(ctx, controller_.Aggregate()->Devices(), index.toInt(), *page);
  } else {
    pages::FillNodeText(*page, item ? item->text(0).toStdString() : std::string());
  }
  RenderDetails();
}

void DeviceTreePage::FollowOutsideRedraw() {
  if (!isVisible() || !controller_.Gathered() || controller_.InProgress() ||
      !controller_.Aggregate())
    return;
  BuildTreeIfStale();
  SelectionChanged();
}

void DeviceTreePage::RenderDetails() {
  details_->RenderOwn();
  // The driver, service and advanced sections hide when empty (the list would show a
  // "nothing found" line in them); the advanced one starts closed.
  const pages::Page* page = details_->page();
  for (int i = 0; i < details_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* section = details_->topLevelItem(i);
    const bool empty = !page || static_cast<std::size_t>(i) >= page->Sections().size() ||
                       page->Sections()[static_cast<std::size_t>(i)].Items.empty();
    if (i != pages::devices_section::kGeneral) section->setHidden(empty);
    if (i == pages::devices_section::kAdvanced && !collapsed_once_ && section->childCount() > 0) {
      section->setExpanded(false);
      collapsed_once_ = true;
    }
  }
}

void DeviceTreePage::ExpandAll() {
  if (tree_->topLevelItemCount() == 0) return;
  tree_->setUpdatesEnabled(false);
  tree_->topLevelItem(0)->setExpanded(true);
  tree_->expandAll();
  tree_->setUpdatesEnabled(true);
  SelectionChanged();
  tree_->scrollToItem(tree_->topLevelItem(0));
}

void DeviceTreePage::CollapseAll() {
  if (tree_->topLevelItemCount() == 0) return;
  tree_->setUpdatesEnabled(false);
  tree_->collapseAll();
  tree_->topLevelItem(0)->setExpanded(true);
  tree_->setUpdatesEnabled(true);
  SelectionChanged();
  tree_->scrollToItem(tree_->topLevelItem(0));
}

bool DeviceTreePage::CopiesTreeSelection() const {
  return tree_->hasFocus() || details_->SelectedRows().empty();
}

const pages::DeviceTreeNode* DeviceTreePage::SelectedModelNode(
    const pages::DeviceTreeNode& root) const {
  // The shown tree has the model tree's shape: the selected item's path of child positions
  // leads to its node.
  std::vector<int> path;
  QTreeWidgetItem* item = tree_->currentItem();
  if (item == nullptr) return nullptr;
  for (; item->parent() != nullptr; item = item->parent())
    path.insert(path.begin(), item->parent()->indexOfChild(item));
  const pages::DeviceTreeNode* node = &root;
  for (int at : path) {
    if (at < 0 || static_cast<std::size_t>(at) >= node->children.size()) return nullptr;
    node = &node->children[static_cast<std::size_t>(at)];
  }
  return node;
}

bool DeviceTreePage::ShowsCurrentList() const {
  return controller_.Aggregate() && built_for_ == &controller_.Aggregate()->Devices() &&
         built_refresh_ == controller_.Aggregate()->Devices().RefreshCount();
}

std::string DeviceTreePage::SelectedNodeText() const {
  if (!ShowsCurrentList()) return {};
  const pages::DeviceTreeNode root = ModelTree();
  const pages::DeviceTreeNode* node = SelectedModelNode(root);
  if (node == nullptr) return {};
  if (node->deviceIndex < 0) return report::DeviceTreeText(*node);
  const pages::Page* page = details_->page();
  return node->caption + "\n\n" + (page ? report::DeviceDetailsText(*page) : std::string());
}

std::string DeviceTreePage::AllText() const {
  if (!ShowsCurrentList()) return {};
  std::string text = report::DeviceTreeText(ModelTree());
  if (const pages::Page* page = details_->page()) text += "\n" + report::DeviceDetailsText(*page);
  return text;
}

QWidget* MakeDeviceTreePage(gather::TGetFunctionsClass& controller, SectionListView* details,
                            QWidget* parent) {
  return new DeviceTreePage(controller, details, parent);
}

}  // namespace tavrin::window
