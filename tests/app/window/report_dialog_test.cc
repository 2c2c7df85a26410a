// The report dialog on the offscreen platform: it writes the chosen report into the report
// folder of a made-up home folder (never the user's own), hides sensitive values when asked,
// and tells the user when the report cannot be written.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "tests/support/row_context.h"
#include "gather/controller.h"
#include "pages/page_model.h"
#include "app/window/report_dialog/generate_report_dialog.h"
#include "report/report_folder.h"
#include "report/report_generator.h"

namespace tavrin::report {
namespace {

namespace fs = std::filesystem;

// Points every folder the report folder rule reads at a fresh temporary home, and keeps
// xdg-open from being started for the written report; everything is restored afterwards.
class TemporaryHome {
 public:
  TemporaryHome() {
    std::string pattern = (fs::temp_directory_path() / "tavrin-report-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    fs::create_directories(root_ / "Documents");
    Set("HOME", root_.string());
    Set("XDG_CONFIG_HOME", (root_ / ".config").string());
    Set("XDG_DATA_HOME", (root_ / ".local/share").string());
    Set("DISPLAY", std::nullopt);
    Set("WAYLAND_DISPLAY", std::nullopt);
  }
  ~TemporaryHome() {
    for (const auto& [name, value] : saved_)
      value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  const fs::path& root() const { return root_; }

 private:
  void Set(const std::string& name, std::optional<std::string> value) {
    const char* old = std::getenv(name.c_str());
    saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
  }
  fs::path root_;
  std::map<std::string, std::optional<std::string>> saved_;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ReportDialogTest : public ::testing::Test {
 protected:
  ReportDialogTest() {
    // No collectors: the refresh before writing gathers nothing, and the pages keep the
    // rows added here.
    pages::Page& windows = *controller_.FindPage("wininfo");
    pages::AddItem(::tavrin::testing::RowsOf(controller_), windows, 0, "Kernel", "6.1", "", false);
    pages::AddItem(::tavrin::testing::RowsOf(controller_), windows, 1, "Serial Number", "SN-4711-XYZ", "", false,
                   pages::RowMeta{{}, true});
  }
  fs::path ReportFile(const char* extension) const {
    return fs::path(CurrentReportFolder()) / (std::string("SysInfo") + extension);
  }
  void Choose(TfrmGenerateReport& dialog, const char* kind, bool mask) {
    dialog.findChild<QRadioButton*>(kind)->setChecked(true);
    dialog.findChild<QCheckBox*>("chkMask")->setChecked(mask);
  }
  void GetReport(TfrmGenerateReport& dialog) {
    dialog.findChild<QPushButton*>("btnGetReport")->click();
  }

  TemporaryHome home_;
  gather::TGetFunctionsClass controller_;
};

TEST_F(ReportDialogTest, WritesTheChosenKindIntoTheReportFolder) {
  const fs::path text_file = ReportFile(".txt");
  ASSERT_EQ(text_file.string().rfind(home_.root().string(), 0), 0u) << text_file;

  TfrmGenerateReport dialog(controller_);
  Choose(dialog, "selText", false);
  GetReport(dialog);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const std::string text = ReadFile(text_file);
  EXPECT_NE(text.find("*** Windows Information ***\n"), std::string::npos) << text;
  EXPECT_NE(text.find(std::string(34, ' ') + "Kernel       6.1\n"), std::string::npos) << text;
  EXPECT_NE(text.find("SN-4711-XYZ"), std::string::npos);
  EXPECT_FALSE(fs::exists(ReportFile(".html")));
  EXPECT_FALSE(fs::exists(ReportFile(".xml")));

  TfrmGenerateReport xml_dialog(controller_);
  Choose(xml_dialog, "selXml", false);
  GetReport(xml_dialog);
  EXPECT_NE(ReadFile(ReportFile(".xml")).find("SN-4711-XYZ"), std::string::npos);
}

TEST_F(ReportDialogTest, HidingSerialsMasksSensitiveValues) {
  TfrmGenerateReport dialog(controller_);
  Choose(dialog, "selText", true);
  GetReport(dialog);
  const std::string text = ReadFile(ReportFile(".txt"));
  EXPECT_EQ(text.find("SN-4711-XYZ"), std::string::npos) << text;
  EXPECT_NE(text.find("[masked-"), std::string::npos) << text;
  EXPECT_NE(text.find("Kernel       6.1\n"), std::string::npos) << text;
}

TEST_F(ReportDialogTest, FailedWriteIsShownWithPathAndReason) {
  // A folder in the way of the report file: the write cannot replace it.
  const fs::path blocked = ReportFile(".txt");
  fs::create_directories(blocked);
  QString shown;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&shown] {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
        shown = box->text();
        box->accept();
      }
  });
  poll.start(10);

  TfrmGenerateReport dialog(controller_);
  Choose(dialog, "selText", false);
  GetReport(dialog);
  poll.stop();
  EXPECT_TRUE(shown.contains(QString::fromStdString(blocked.string()))) << shown.toStdString();
  EXPECT_FALSE(shown.section("\n\n", 1).trimmed().isEmpty()) << "no reason given";
  EXPECT_TRUE(fs::is_directory(blocked));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tavrin::report
