#include "app/window/intro_page.h"

#include <unistd.h>

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/window/icons.h"
#include "collectors/firmware/vsi_machine.h"
#include "collectors/storage/vsi_disk.h"
#include "collectors/system_info.h"
#include "helpers/accessors.h"
#include "pages/fill_context.h"
#include "platform/services.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::window {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ComputerName() {
  char name[256] = {};
  if (gethostname(name, sizeof(name) - 1) != 0) return {};
  return name;
}

QLabel* LinkLabel(const QString& richText, QWidget* parent) {
  auto* label = new QLabel(richText, parent);
  label->setTextFormat(Qt::RichText);
  label->setCursor(Qt::PointingHandCursor);
  label->setWordWrap(true);
  return label;
}

QToolButton* ImageButton(const QIcon& icon, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setIcon(icon);
  button->setIconSize(QSize(48, 48));
  button->setAutoRaise(true);
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

}  // namespace

TfrmPanelsForm::TfrmPanelsForm(QWidget* parent) : QWidget(parent) {
  setObjectName("pnlSummary");
  helpers::IHelper& helper = helpers::Helper();
  const std::string os =
      helper.GetOSName() + " " +
      (helper.GetArchitectureCode() == helpers::kArchitecture64 ? "64-bit" : "32-bit");
  const std::string memory =
      FormatText(lbl::S_INTRO_MEMORY_VALUE,
                 {std::to_string(helper.GetInstalledMemory(helpers::kUnitMegabytes))});
  const std::string free_space = FormatText(
      lbl::S_INTRO_FREE_VALUE, {std::to_string(helper.GetFreeDiskSpace(helpers::kUnitGigabytes))});

  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::StyledPanel);
  auto* form = new QFormLayout(frame);
  form->setLabelAlignment(Qt::AlignLeft);
  auto add = [&](const char* key, const std::string& caption, const std::string& value) {
    auto* name = new QLabel(FromUtf8(caption), frame);
    name->setObjectName(key);
    name->setForegroundRole(QPalette::PlaceholderText);
    auto* text = new QLabel(FromUtf8(value), frame);
    text->setObjectName(QString::fromLatin1(key) + "Value");
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(name, text);
    return text;
  };
  computer_ = add("lblComputer", lbl::S_INTRO_COMPUTER, ComputerName());
  os_ = add("lblOS", lbl::S_INTRO_OS, os);
  memory_ = add("lblMemory", lbl::S_INTRO_MEMORY, memory);
  free_ = add("lblFreeSpace", lbl::S_INTRO_FREE_SPACE, free_space);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(frame);
}

PanelFacts GatheredPanelFacts(const collectors::TVexa_SystemInfo& info,
                              const pages::PageSummary& summary) {
  PanelFacts facts;
  facts.memory = summary.installed_memory;
  const auto& services = info.SharedServices();
  if (!services || platform::IsLiveMachine(*services)) return facts;
  facts.os = summary.windows_name;
  if (auto machine = info.Find<collectors::TVexa_Machine>()) facts.computer = machine->MachineName;
  // The recorded machine's root file system stands for the home folder the panel measures here.
  facts.freeSpace = lbl::S_NA;
  if (auto disk = info.Find<collectors::TVexa_Disk>())
    for (const auto& drive : disk->Drives())
      if (drive.Disk == "/" && drive.SizeSource.ok())  // a full disk has 0 free, not n/a
        facts.freeSpace =
            FormatText(lbl::S_INTRO_FREE_VALUE,
                       {std::to_string(static_cast<uint64_t>(drive.FreeSpace) >> 30)});
  return facts;
}

void TfrmPanelsForm::Show(const PanelFacts& facts) {
  for (auto [label, text] : {std::pair{computer_, &facts.computer},
                             {os_, &facts.os},
                             {memory_, &facts.memory},
                             {free_, &facts.freeSpace}})
    if (!text->empty()) label->setText(FromUtf8(*text));
}

IntroPage::IntroPage(std::function<void()> openGeneral, std::function<void()> openReport,
                     QWidget* parent)
    : QWidget(parent) {
  setObjectName("tabIntroduction");
  auto* title = new QLabel(FromUtf8(lbl::S_WELCOME), this);
  QFont title_font = title->font();
  title_font.setPointSizeF(title_font.pointSizeF() * 1.6);
  title_font.setBold(true);
  title->setFont(title_font);

  auto* about = new QLabel(FromUtf8(lbl::S_INTRO_TEXT), this);
  about->setWordWrap(true);

  auto* general_image = ImageButton(CategoryIcon(1), this);
  general_link_ = LinkLabel(QString(), this);
  auto* general_text = new QLabel(FromUtf8(lbl::S_INTRO_GENERAL_HINT), this);
  general_text->setWordWrap(true);

  report_image_ = ImageButton(ThemedIcon("document-export"), this);
  report_link_ =
      LinkLabel(QStringLiteral("<b>%1</b>").arg(FromUtf8(lbl::S_ACT_REPORT).toHtmlEscaped()), this);
  auto* report_text = new QLabel(FromUtf8(lbl::S_INTRO_REPORT_HINT), this);
  report_text->setWordWrap(true);

  QObject::connect(general_image, &QToolButton::clicked, this, [openGeneral] { openGeneral(); });
  QObject::connect(general_link_, &QLabel::linkActivated, this, [openGeneral] { openGeneral(); });
  QObject::connect(report_image_, &QToolButton::clicked, this, [openReport] { openReport(); });
  QObject::connect(report_link_, &QLabel::linkActivated, this, [openReport] { openReport(); });
  report_link_->setText(QStringLiteral("<a href=\"report\">%1</a>").arg(report_link_->text()));

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  grid->addWidget(general_image, 0, 0, 2, 1, Qt::AlignTop);
  grid->addWidget(general_link_, 0, 1);
  grid->addWidget(general_text, 1, 1);
  grid->addWidget(report_image_, 2, 0, 2, 1, Qt::AlignTop);
  grid->addWidget(report_link_, 2, 1);
  grid->addWidget(report_text, 3, 1);
  grid->setColumnStretch(1, 1);

  auto* summary_title = new QLabel(
      QStringLiteral("<b>%1</b>").arg(FromUtf8(lbl::S_INTRO_SUMMARY).toHtmlEscaped()), this);
  auto* summary = panel_ = new TfrmPanelsForm(this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 16);
  layout->setSpacing(12);
  layout->addWidget(title);
  layout->addWidget(about);
  layout->addSpacing(8);
  layout->addLayout(grid);
  layout->addSpacing(8);
  layout->addWidget(summary_title);
  layout->addWidget(summary);
  layout->addStretch(1);
}

void IntroPage::SetGeneralCaption(const QString& richText) {
  general_link_->setText(QStringLiteral("<a href=\"general\">%1</a>").arg(richText));
}

void IntroPage::SetReportEnabled(bool enabled) {
  report_link_->setEnabled(enabled);
  report_image_->setEnabled(enabled);
}

}  // namespace tavrin::window
