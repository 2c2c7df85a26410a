#include "app/window/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/window/gui_host.h"
#include "app/window/icons.h"
#include "app/window/intro_page.h"
#include "app/window/page_widgets.h"
#include "app/window/section_list_view.h"
#include "gather/controller.h"
#include "helpers/accessors.h"
#include "helpers/debug_log.h"
#include "pages/page_model.h"
#include "session/framework.h"
#include "text/labels.h"

namespace tavrin::window {
namespace {

constexpr int kSysInfoTimerMs = 1500;
// How often the action update rule runs; cheap enough to stand in for "when idle".
constexpr int kUpdateActionsMs = 250;

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TfrmSysInfo::TfrmSysInfo(gather::TGetFunctionsClass& controller, QWidget* parent)
    : QMainWindow(parent), controller_(controller) {
  setObjectName("frmSysInfo");
  setWindowTitle(FromUtf8(helpers::Globals().GetProductName()));
  setWindowIcon(ProgramIcon());
  // Small enough for a 1366 x 768 screen with its panel; the classic minimum of 800 x 600
  // would not leave room for the panel on such a screen.
  setMinimumSize(720, 480);
  const QScreen* screen = QGuiApplication::primaryScreen();
  resize(DefaultSize(screen != nullptr ? screen->availableGeometry().size() : QSize(1366, 768)));

  host_ = std::make_unique<GuiHost>([this](const std::string& text) { SetStatusText(text); },
                                    [this] { PagesChanged(); });
  // The start-up hold: nothing is gathered or filled until the start timer fires.
  controller_.SetInProgress(true);
  controller_.SetHost(host_.get());
  controller_.SetPageDisplay([this](const void* sender) { return ShowCategoryPage(sender); });

  CreateActions();
  CreateMenus();
  CreateLayout();
  CreateStatusBar();
  SetStatusText(lbl::S_CURRENT_USER + " " + helpers::Globals().GetCurrentUserName());
  BuildNavigation(controller_.AdvancedMode());

  sys_info_timer_ = new QTimer(this);
  sys_info_timer_->setSingleShot(true);
  sys_info_timer_->setInterval(kSysInfoTimerMs);
  connect(sys_info_timer_, &QTimer::timeout, this, [this] { SysInfoTimerFired(); });

  update_timer_ = new QTimer(this);
  update_timer_->setInterval(kUpdateActionsMs);
  connect(update_timer_, &QTimer::timeout, this, [this] { UpdateActions(); });
  update_timer_->start();
  UpdateActions();

  if (screen != nullptr) move(screen->availableGeometry().center() - rect().center());
  created_ = true;
}

QSize TfrmSysInfo::DefaultSize(const QSize& available) {
  // Room for the navigation, a label column and a value column without eliding most values.
  const QSize wanted(1120, 720);
  return wanted.boundedTo(QSize(available.width() * 95 / 100, available.height() * 92 / 100))
      .expandedTo(QSize(720, 480));
}

void TfrmSysInfo::SetSession(const std::string& title, const std::string& snapshotNote) {
  setWindowTitle(FromUtf8(title));
  status_[1]->setText(FromUtf8(snapshotNote));
  status_[1]->setToolTip(FromUtf8(snapshotNote));
}

QString TfrmSysInfo::SessionNote() const {
  return status_[1]->text();
}

QString TfrmSysInfo::TimedOutNote() const {
  return status_[2]->text();
}

bool TfrmSysInfo::RememberedAdvancedMode() {
  return helpers::Options().ReadString(session::kAdvancedModeOption) == "1";
}

void TfrmSysInfo::SetRememberSettings(bool remember) {
  remember_ = remember;
  if (!remember_) return;
  const QByteArray geometry = QByteArray::fromBase64(
      QByteArray::fromStdString(helpers::Options().ReadString(session::kWindowGeometryOption)));
  if (!geometry.isEmpty()) restoreGeometry(geometry);
}

TfrmSysInfo::~TfrmSysInfo() {
  created_ = false;
  controller_.SetPageDisplay({});
}

void TfrmSysInfo::CreateLayout() {
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(CreateNavigation());

  auto* separator = new QFrame(central);
  separator->setFrameShape(QFrame::VLine);
  separator->setFrameShadow(QFrame::Sunken);
  row->addWidget(separator);

  auto* right = new QWidget(central);
  auto* right_layout = new QVBoxLayout(right);
  right_layout->setContentsMargins(8, 8, 8, 4);
  right_layout->setSpacing(6);

  title_panel_ = new QWidget(right);
  title_panel_->setObjectName("pnlMainTitleBack");
  auto* title_row = new QHBoxLayout(title_panel_);
  title_row->setContentsMargins(4, 0, 4, 4);
  title_icon_ = new QLabel(title_panel_);
  title_icon_->setFixedSize(48, 48);
  header_ = new QLabel(title_panel_);
  header_->setObjectName("ZuHeader");
  QFont header_font = header_->font();
  header_font.setPointSizeF(header_font.pointSizeF() * 1.5);
  header_font.setBold(true);
  header_->setFont(header_font);
  description_ = new QLabel(title_panel_);
  description_->setObjectName("zuDescription");
  description_->setTextFormat(Qt::RichText);
  description_->setWordWrap(true);
  auto* texts = new QVBoxLayout;
  texts->setSpacing(2);
  texts->addWidget(header_);
  texts->addWidget(description_);
  title_row->addWidget(title_icon_, 0, Qt::AlignTop);
  title_row->addLayout(texts, 1);
  right_layout->addWidget(title_panel_);

  pages_ = new QStackedWidget(right);
  pages_->setObjectName("ZuPages");
  intro_ = new IntroPage(
      [this] {
        if (QAction* general = Action("act_si_generalinfo")) general->trigger();
      },
      [this] {
        if (QAction* report = Action("actReport"); report && report->isEnabled()) report->trigger();
      },
      pages_);
  pages_->addWidget(intro_);
  // Pages 1 to 14 in page-index order; each category names its page.
  std::vector<const pages::TSICategory*> by_page(15, nullptr);
  for (const pages::TSICategory& category : pages::TSICategoryList())
    if (category.pageIndex > 0 && category.pageIndex < 15)
      by_page[static_cast<std::size_t>(category.pageIndex)] = &category;
  for (int index = 1; index < 15; ++index) {
    auto* view = new SectionListView(pages_);
    if (const pages::TSICategory* category = by_page[static_cast<std::size_t>(index)]) {
      view->setObjectName(
          QString::fromUtf8(category->key.data(), static_cast<qsizetype>(category->key.size())));
      view->SetPage(controller_.FindPage(category->key), CategoryIcon(category->titleImageIndex));
      views_.emplace(std::string(category->key), view);
    }
    view->SetContextActions(Action("actCopySelected"), Action("actCopyAll"));
    const pages::TSICategory* category = by_page[static_cast<std::size_t>(index)];
    pages_->addWidget(category ? MakePageWidget(category->key, controller_, view, pages_) : view);
  }
  right_layout->addWidget(pages_, 1);
  row->addWidget(right, 1);
  setCentralWidget(central);
}

QWidget* TfrmSysInfo::CreateNavigation() {
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName("SysInfoGroup");
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setFixedWidth(230);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* bar = new QWidget(scroll);
  bar->setBackgroundRole(QPalette::AlternateBase);
  bar->setAutoFillBackground(true);
  auto* column = new QVBoxLayout(bar);
  column->setContentsMargins(8, 10, 8, 10);
  column->setSpacing(10);

  const std::pair<const char*, const std::string*> kGroups[] = {
      {"ZuSystemGroup", &lbl::S_GROUP_SYSTEM},
      {"ZuHardwareGroup", &lbl::S_GROUP_HARDWARE},
      {"ZuOtherGroup", &lbl::S_GROUP_OTHER}};
  for (const auto& [name, caption_text] : kGroups) {
    auto* group = new QWidget(bar);
    group->setObjectName(name);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto* caption = new QLabel(FromUtf8(*caption_text).toUpper(), group);
    QFont caption_font = caption->font();
    caption_font.setBold(true);
    caption_font.setPointSizeF(caption_font.pointSizeF() * 0.85);
    caption->setFont(caption_font);
    caption->setForegroundRole(QPalette::PlaceholderText);
    caption->setContentsMargins(4, 0, 0, 2);
    layout->addWidget(caption);
    column->addWidget(group);
    groups_.push_back(group);
    group_layouts_.push_back(layout);
  }
  column->addStretch(1);

  intro_link_ = new QToolButton(groups_[0]);
  intro_link_->setProperty("tag", 100);
  intro_link_->setDefaultAction(Action("actIntro"));
  group_layouts_[0]->addWidget(intro_link_);
  scroll->setWidget(bar);
  return scroll;
}

void TfrmSysInfo::CreateStatusBar() {
  const int widths[3] = {350, 300, 50};
  for (int i = 0; i < 3; ++i) {
    status_[i] = new QLabel(statusBar());
    status_[i]->setMinimumWidth(widths[i]);
    status_[i]->setContentsMargins(4, 0, 4, 0);
    statusBar()->addWidget(status_[i], i == 1 ? 1 : 0);
  }
}

void TfrmSysInfo::SetStatusText(const std::string& text) {
  if (status_[0] != nullptr) status_[0]->setText(FromUtf8(text).trimmed());
}

void TfrmSysInfo::PagesChanged() {
  // A finished gathering phase has refilled every page: redraw the shown one, the others
  // are redrawn when they are shown.
  const bool gathered = controller_.Gathered() && !controller_.InProgress();
  if (gathered) {
    // Rows left empty by a collector abandoned at the time limit: the status bar says which.
    const QString note = FromUtf8(controller_.TimedOutNote());
    status_[2]->setText(note);
    status_[2]->setToolTip(note);
  }
  if (gathered && !was_gathered_) {
    if (SectionListView* view = ShownView()) view->Render();
    if (const collectors::TVexa_SystemInfo* info = controller_.Aggregate())
      intro_->panel()->Show(GatheredPanelFacts(*info, controller_.summary));
    UpdateActions();
    if (on_gathered_) on_gathered_();
  }
  was_gathered_ = gathered;
}

void TfrmSysInfo::SysInfoTimerFired() {
  sys_info_timer_->stop();
  if (!auto_gather_) return;
  if (!controller_.ThreadCreated()) {
    controller_.SetInProgress(false);
    controller_.StartGathering();
  }
  UpdateActions();
}

void TfrmSysInfo::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && auto_gather_ &&
      !controller_.ThreadCreated())
    sys_info_timer_->start();
  QMainWindow::changeEvent(event);
}

void TfrmSysInfo::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Without a window manager the window is never activated; the first showing starts the
  // timer as well, and activation later only restarts it.
  if (auto_gather_ && !controller_.ThreadCreated() && !sys_info_timer_->isActive())
    sys_info_timer_->start();
  SizeColumns();
}

void TfrmSysInfo::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  SizeColumns();
}

void TfrmSysInfo::SizeColumns() {
  for (auto& [key, view] : views_) view->SizeColumns(pages_->width());
}

void TfrmSysInfo::closeEvent(QCloseEvent* event) {
  closing_ = true;
  if (remember_) {
    helpers::Options().WriteString(session::kWindowGeometryOption,
                                   saveGeometry().toBase64().toStdString());
    helpers::Options().SaveOptions();
  }
  sys_info_timer_->stop();
  if (controller_.ThreadCreated()) {
    controller_.Shutdown([this] {
      if (on_unloading_) on_unloading_();
      hide();
    });
  }
  host_->Close();
  event->accept();
}

void TfrmSysInfo::Activate() {
  if (!created_ || closing_) return;
  if (!isVisible()) {
    if (isMinimized()) showMinimized();
    show();
  }
  // Restore from minimized, bring to the front and ask for the focus; toggling "stay on
  // top" would re-create the native window on X11, and raising already does its work there.
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  raise();
  activateWindow();
  QCoreApplication::processEvents();
  helpers::DebugLog("Activated by another start");
}

}  // namespace tavrin::window
