#include "app/window/storage_pages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/window/drive_pie.h"
#include "app/window/icons.h"
#include "app/window/section_list_view.h"
#include "collectors/storage/vsi_disk.h"
#include "collectors/storage/vsi_storage.h"
#include "collectors/system_info.h"
#include "gather/controller.h"
#include "pages/drives_pages.h"
#include "pages/section_sources.h"
#include "text/labels.h"

namespace tavrin::window {
namespace {

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// Image 1 a fixed drive or hard disk, 2 an optical drive, 3 anything else.
QIcon ChoiceIcon(int image) {
  return ThemedIcon(image == 1   ? "drive-harddisk"
                    : image == 2 ? "drive-optical"
                                 : "drive-removable-media");
}

// Refills a combo box from `entries`, keeping the chosen key when it is still offered.
void Refill(QComboBox* combo, const std::vector<pages::ChoiceEntry>& entries,
            const QString& fallbackKey) {
  const QString keep =
      combo->currentData().isValid() ? combo->currentData().toString() : fallbackKey;
  combo->blockSignals(true);
  combo->clear();
  for (const pages::ChoiceEntry& e : entries)
    combo->addItem(ChoiceIcon(e.image), FromUtf8(e.caption), FromUtf8(e.key));
  const int at = combo->findData(keep);
  combo->setCurrentIndex(at >= 0 ? at : (combo->count() ? 0 : -1));
  combo->blockSignals(false);
}

bool Ready(const gather::TGetFunctionsClass& c) {
  return c.Gathered() && !c.InProgress() && c.Aggregate();
}

QLabel* Caption(const std::string& text, QWidget* parent) {
  return new QLabel(FromUtf8(text), parent);
}

}  // namespace

ChoicePage::ChoicePage(gather::TGetFunctionsClass& controller, SectionListView* list,
                       QWidget* parent)
    : QWidget(parent), controller_(controller), list_(list) {}

QBoxLayout* ChoicePage::AddChoiceRow(const char* pageName, const std::string& caption,
                                     const char* name) {
  setObjectName(pageName);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* top = new QHBoxLayout;
  top->addWidget(Caption(caption, this));
  combo_ = new QComboBox(this);
  combo_->setObjectName(name);
  combo_->setMinimumContentsLength(28);
  top->addWidget(combo_, 1);
  layout->addLayout(top);
  connect(combo_, &QComboBox::currentIndexChanged, this, [this] { ShowSelected(); });
  return layout;
}

void ChoicePage::AddList(QBoxLayout* layout) {
  list_->setParent(this);
  layout->addWidget(list_, 1);
  // The window redraws the list from its page (filled for the first choice) when the page is
  // shown, after a mode switch or a report; the chosen item is then shown again.
  list_->FollowRedraws(this, [this] { Refresh(); });
}

void ChoicePage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

void ChoicePage::Refresh() {
  if (!isVisible() || !Ready(controller_)) return;
  BuildList();
  ShowSelected();
}

DrivesPage::DrivesPage(gather::TGetFunctionsClass& controller, SectionListView* list,
                       QWidget* parent)
    : ChoicePage(controller, list, parent) {
  QBoxLayout* layout = AddChoiceRow("pnlDrivesBack", lbl::S_DISK_CHOOSE, "comboDrives");

  auto* summary = new QHBoxLayout;
  pie_ = new DrivePie(this);
  summary->addWidget(pie_);
  auto* grid = new QGridLayout;
  auto row = [&](int r, const std::string& caption, QLabel*& value, const char* name,
                 const QColor* swatch = nullptr) {
    QLabel* c = Caption(caption, this);
    if (swatch)
      c->setText(QString("<span style='color:%1'>&#9632;</span> %2")
                     .arg(swatch->name(), c->text().toHtmlEscaped()));
    grid->addWidget(c, r, 0);
    value = Caption(lbl::S_NA, this);
    value->setObjectName(name);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(value, r, 1);
    return c;
  };
  const QColor used = DrivePie::UsedColor(), free = DrivePie::FreeColor();
  row(0, lbl::S_DISK_PIE_TOTAL, total_, "lblDriveTotal");
  row(1, lbl::S_DISK_PIE_USED, used_, "lblDriveUsed", &used);
  row(2, lbl::S_DISK_PIE_FREE, free_, "lblDriveFree", &free);
  row(3, lbl::S_DISK_PIE_FILESYSTEM, fileSystem_, "lblFileSystem");
  row(4, lbl::S_DISK_PIE_COMPRESSION, compression_, "lblCompression");
  row(5, lbl::S_DISK_PIE_ENCRYPTION, encryption_, "lblEncryption");
  perClusterCaption_ = row(6, lbl::S_DISK_PIE_BPC, perCluster_, "lblBytesPerCluster");
  grid->setColumnStretch(1, 1);
  summary->addLayout(grid, 1);
  layout->addLayout(summary);
  AddList(layout);
}

void DrivesPage::BuildList() {
  const auto& disk = controller_.Aggregate()->Disk();
  Refill(combo_, pages::DriveChoices(disk), FromUtf8(pages::DefaultDrive(disk)));
}

void DrivesPage::ShowSelected() {
  pages::Page* page = controller_.FindPage("harddriveinfo");
  if (!page || !Ready(controller_)) return;
  const auto& disk = controller_.Aggregate()->Disk();
  const std::string key = combo_->currentData().toString().toStdString();
  const pages::FillContext ctx{*controller_.Aggregate(), controller_.AdvancedMode(),
                               controller_.summary};
  page->ClearItems();
  pages::FillDriveDetails(ctx, key, *page);
  pages::ExplainFilledPage(ctx, *page);
  collectors::TDiskInfo chosen;
  for (const auto& d : disk.Drives())
    if (d.Disk == key) chosen = d;
  const pages::DriveSummary s = pages::SummaryOf(chosen);
  pie_->SetValues(s.known ? s.usedBytes : 0, s.known ? s.freeBytes : 0);
  total_->setText(FromUtf8(s.total));
  used_->setText(FromUtf8(s.used));
  free_->setText(FromUtf8(s.free));
  fileSystem_->setText(FromUtf8(s.fileSystem));
  compression_->setText(FromUtf8(s.compression));
  encryption_->setText(FromUtf8(s.encryption));
  perCluster_->setText(FromUtf8(s.bytesPerCluster));
  perClusterCaption_->setText(FromUtf8(lbl::S_DISK_PIE_BPC));
  list_->RenderOwn();
}

StoragePage::StoragePage(gather::TGetFunctionsClass& controller, SectionListView* list,
                         QWidget* parent)
    : ChoicePage(controller, list, parent) {
  QBoxLayout* layout = AddChoiceRow("pnlStorageBack", lbl::S_IDE_CHOOSE, "comboIDESelect");
  AddList(layout);
}

void StoragePage::BuildList() {
  Refill(combo_, pages::StorageChoices(controller_.Aggregate()->Storage()), "0");
}

void StoragePage::ShowSelected() {
  pages::Page* page = controller_.FindPage("harddriveadvinfo");
  if (!page || !Ready(controller_)) return;
  const QVariant data = combo_->currentData();
  const pages::FillContext ctx{*controller_.Aggregate(), controller_.AdvancedMode(),
                               controller_.summary};
  page->ClearItems();
  pages::FillStorageDeviceDetails(ctx, data.isValid() ? data.toString().toInt() : -1, *page);
  pages::ExplainFilledPage(ctx, *page);
  list_->RenderOwn();
}

QWidget* MakeDrivesPage(gather::TGetFunctionsClass& controller, SectionListView* list,
                        QWidget* parent) {
  return new DrivesPage(controller, list, parent);
}

QWidget* MakeStoragePage(gather::TGetFunctionsClass& controller, SectionListView* list,
                         QWidget* parent) {
  return new StoragePage(controller, list, parent);
}

}  // namespace tavrin::window
