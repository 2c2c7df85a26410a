#include "app/window/report_dialog/generate_report_dialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <filesystem>
#include <map>
#include <string>

#include "gather/controller.h"
#include "helpers/accessors.h"
#include "report/report_folder.h"
#include "report/report_generator.h"

namespace tavrin::report {
namespace {

constexpr int kClientWidth = 528;
// Taller than the classic 281 pixels by the JSON choice.
constexpr int kClientHeight = 305;
constexpr int kFooterHeight = 48;
// Reports are usually made to be shared, so names and serials start hidden; the user's last
// choice is kept in the settings.
constexpr std::string_view kMaskOption = "ReportHideSensitive";

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The dialog's texts in the language in use: a language file may translate them in its
// section named after the dialog; without a translation the English text stays.
class DialogTexts {
 public:
  DialogTexts() {
    for (const std::string& line : helpers::Localizer().GetSectionTexts("TfrmGenerateReport")) {
      const auto equals = line.find('=');
      if (equals != std::string::npos) texts_[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  QString Text(const char* key, const char* english) const {
    const auto it = texts_.find(key);
    return it == texts_.end() ? QString::fromUtf8(english) : FromUtf8(it->second);
  }

 private:
  std::map<std::string, std::string, std::less<>> texts_;
};

// Options are read from the settings file only for the names known when it is loaded; this
// one is made known here, so the file is read again once (values written meanwhile stay).
bool MaskChoiceFromSettings() {
  static const bool registered = [] {
    helpers::Options().RegisterDefault(kMaskOption, "1");
    helpers::Options().LoadOptions();
    return true;
  }();
  (void)registered;
  return helpers::Options().ReadString(kMaskOption) != "0";
}

QString FileFilter(ReportKind kind, const DialogTexts& texts) {
  switch (kind) {
    case ReportKind::Html:
      return texts.Text("FilterHtml", "HTML report (*.html)");
    case ReportKind::Xml:
      return texts.Text("FilterXml", "XML report (*.xml)");
    case ReportKind::Text:
      return texts.Text("FilterText", "Text report (*.txt)");
    case ReportKind::Json:
      return texts.Text("FilterJson", "JSON report (*.json)");
  }
  return {};
}

QString AskForFile(QWidget* owner, const QString& suggested, const QString& filter) {
  return QFileDialog::getSaveFileName(owner, owner->windowTitle(), suggested, filter);
}

void ShowSaved(QWidget* owner, const QString& fileName) {
  const DialogTexts texts;
  QMessageBox box(QMessageBox::Information, owner->windowTitle(),
                  texts.Text("Saved", "The report was saved to\n%1").arg(fileName),
                  QMessageBox::Close, owner);
  QPushButton* open = box.addButton(texts.Text("Open", "Open"), QMessageBox::AcceptRole);
  box.exec();
  if (box.clickedButton() == open) helpers::Helper().OpenLink(fileName.toStdString());
}

}  // namespace

TfrmGenerateReport::TfrmGenerateReport(gather::TGetFunctionsClass& controller, QWidget* parent)
    : QDialog(parent), controller_(controller) {
  const DialogTexts texts;
  setObjectName("frmGenerateReport");
  setWindowTitle(texts.Text("Caption", "Generate Report"));
  // A fixed border with only the close box, kept above the main window.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setFixedSize(kClientWidth, kClientHeight);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* body = new QWidget(this);
  auto* content = new QVBoxLayout(body);
  content->setContentsMargins(16, 12, 16, 8);
  content->setSpacing(6);

  auto* header = new QLabel(texts.Text("zuHeader", "Generate Report"), body);
  header->setObjectName("zuHeader");
  QFont header_font = header->font();
  header_font.setPointSizeF(header_font.pointSizeF() * 1.4);
  header_font.setBold(true);
  header->setFont(header_font);
  content->addWidget(header);

  auto* description = new QLabel(
      texts.Text("zuDescription",
                 "The report holds everything the information pages show about this computer. "
                 "The pages are refreshed first, so the report describes the computer as it "
                 "is now. Choose the kind of report:"),
      body);
  description->setObjectName("zuDescription");
  description->setWordWrap(true);
  content->addWidget(description);

  sel_html_ =
      new QRadioButton(texts.Text("selHtml", "HTML report, to view in a web browser"), body);
  sel_html_->setObjectName("selHtml");
  sel_html_->setChecked(true);
  sel_xml_ = new QRadioButton(texts.Text("selXml", "XML report, for other programs"), body);
  sel_xml_->setObjectName("selXml");
  sel_text_ = new QRadioButton(texts.Text("selText", "Text report"), body);
  sel_text_->setObjectName("selText");
  sel_json_ = new QRadioButton(texts.Text("selJson", "JSON report, for scripts"), body);
  sel_json_->setObjectName("selJson");
  for (QRadioButton* kind : {sel_html_, sel_xml_, sel_text_, sel_json_}) content->addWidget(kind);

  mask_ = new QCheckBox(texts.Text("chkMask", "Hide serial numbers and names"), body);
  mask_->setObjectName("chkMask");
  mask_->setToolTip(texts.Text("chkMaskHint",
                               "Serial numbers, MAC addresses, user and computer names are "
                               "replaced with placeholders, so the report can be shared."));
  mask_->setChecked(MaskChoiceFromSettings());
  content->addWidget(mask_);
  choose_file_ = AskForFile;
  saved_notice_ = ShowSaved;

  auto* get_info = new QLabel(body);
  get_info->setObjectName("zuGetInfo");
  get_info->setText(QStringLiteral("<a href=\"help\">%1</a>")
                        .arg(texts.Text("zuGetInfo", "How do I use the system information report?")
                                 .toHtmlEscaped()));
  get_info->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  connect(get_info, &QLabel::linkActivated, this, [this] { zuGetInfoClick(); });
  content->addStretch(1);
  content->addWidget(get_info);

  column->addWidget(body, 1);
  column->addWidget(CreateFooter());
}

QWidget* TfrmGenerateReport::CreateFooter() {
  const DialogTexts texts;
  auto* footer = new QWidget(this);
  footer->setObjectName("_footer");
  footer->setFixedHeight(kFooterHeight);
  QPalette grey = footer->palette();
  grey.setColor(QPalette::Window, QColor(0xE6, 0xE6, 0xE6));
  footer->setPalette(grey);
  footer->setAutoFillBackground(true);

  auto* row = new QHBoxLayout(footer);
  row->setContentsMargins(12, 0, 12, 0);
  row->addStretch(1);
  auto* get_report = new QPushButton(texts.Text("btnGetReport", "Get Report"), footer);
  get_report->setObjectName("btnGetReport");
  get_report->setDefault(true);
  connect(get_report, &QPushButton::clicked, this, [this] { btnGetReportClick(); });
  auto* copy = new QPushButton(texts.Text("btnCopy", "Copy to Clipboard"), footer);
  copy->setObjectName("btnCopy");
  connect(copy, &QPushButton::clicked, this, [this] { btnCopyClick(); });
  auto* close = new QPushButton(texts.Text("btnClose", "Close"), footer);
  close->setObjectName("btnClose");
  connect(close, &QPushButton::clicked, this, [this] { btnCloseClick(); });
  row->addWidget(get_report);
  row->addWidget(copy);
  row->addWidget(close);
  return footer;
}

ReportKind TfrmGenerateReport::ChosenKind() const {
  if (sel_text_->isChecked()) return ReportKind::Text;
  if (sel_xml_->isChecked()) return ReportKind::Xml;
  if (sel_json_->isChecked()) return ReportKind::Json;
  return ReportKind::Html;
}

void TfrmGenerateReport::GatherAfresh() {
  controller_.ClearGathered();
  // Gathering alone leaves the pages as they were; the report is made from the pages, so
  // they are refilled from the fresh data. A failed gathering leaves them as they are.
  if (controller_.GatherWithProgress()) controller_.GatheringFinished();
}

void TfrmGenerateReport::RememberMaskChoice() const {
  helpers::Options().WriteString(kMaskOption, mask_->isChecked() ? "1" : "0");
  helpers::Options().SaveOptions();
}

void TfrmGenerateReport::btnGetReportClick() {
  const DialogTexts texts;
  const ReportKind kind = ChosenKind();
  const std::string suggested =
      (std::filesystem::path(DocumentsFolder()) / ("SysInfo" + std::string(ReportExtension(kind))))
          .string();
  const QString chosen = choose_file_(this, FromUtf8(suggested), FileFilter(kind, texts));
  if (chosen.isEmpty()) return;
  RememberMaskChoice();
  GatherAfresh();
  // The file name is the user's; the generator's own base name is not used.
  TReportGenerator generator(controller_, std::string());
  RegisterReportPages(generator, controller_);
  generator.SetMask(mask_->isChecked());
  const helpers::ReportSaveResult result = generator.WriteReport(kind, chosen.toStdString());
  if (!result.ok) {
    QMessageBox::warning(this, windowTitle(),
                         texts.Text("WriteFailed", "The report could not be written to\n%1\n\n%2")
                             .arg(FromUtf8(result.fileName), FromUtf8(result.error)));
  } else if (saved_notice_) {
    saved_notice_(this, FromUtf8(result.fileName));
  }
  accept();
}

void TfrmGenerateReport::btnCopyClick() {
  RememberMaskChoice();
  TReportGenerator generator(controller_, std::string());
  RegisterReportPages(generator, controller_);
  generator.SetMask(mask_->isChecked());
  const std::string text = generator.RenderReport(ChosenKind());
  QGuiApplication::clipboard()->setText(FromUtf8(text));
  accept();
}

void TfrmGenerateReport::zuGetInfoClick() {
  helpers::Helper().OpenLink(helpers::Globals().GetSupportPageLink());
}

}  // namespace tavrin::report
