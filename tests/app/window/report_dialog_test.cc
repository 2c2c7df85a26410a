// The report dialog on the offscreen platform: it asks where to save (the save dialog is
// replaced by an answer under a made-up home folder, never the user's own), hides sensitive
// values unless told not to and remembers that choice, and tells the user where the report
// went or why it could not be written.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
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

#include "app/window/report_dialog/generate_report_dialog.h"
#include "gather/controller.h"
#include "helpers/accessors.h"
#include "pages/page_model.h"
#include "report/report_folder.h"
#include "report/report_generator.h"
#include "tests/support/row_context.h"

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
    Set("XDG_DOCUMENTS_DIR", std::nullopt);
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
    // The options live as long as the process: each test starts as a user who never chose.
    helpers::Options().WriteString("ReportHideSensitive", "");
    // No collectors: the refresh before writing gathers nothing, and the pages keep the
    // rows added here.
    pages::Page& windows = *controller_.FindPage("wininfo");
    pages::AddItem(::tavrin::testing::RowsOf(controller_), windows, 0, "Kernel", "6.1", "", false);
    pages::AddItem(::tavrin::testing::RowsOf(controller_), windows, 1, "Serial Number",
                   "SN-4711-XYZ", "", false, pages::RowMeta{{}, true});
  }
  fs::path Saved(const char* extension) const {
    return home_.root() / "out" / (std::string("SysInfo") + extension);
  }
  // The save dialog answers with a file under the temporary home and remembers what it was
  // offered; the notice records where the report went.
  void Prepare(TfrmGenerateReport& dialog, const char* kind, std::optional<bool> mask = {}) {
    dialog.findChild<QRadioButton*>(kind)->setChecked(true);
    if (mask) dialog.findChild<QCheckBox*>("chkMask")->setChecked(*mask);
    dialog.SetFileChooser([this](QWidget*, const QString& suggested, const QString& filter) {
      suggested_ = suggested.toStdString();
      filter_ = filter.toStdString();
      if (answer_) return QString::fromStdString(*answer_);
      fs::create_directories(home_.root() / "out");
      return QString::fromStdString(
          (home_.root() / "out" / fs::path(suggested_).filename()).string());
    });
    dialog.SetSavedNotice([this](QWidget*, const QString& file) { notice_ = file.toStdString(); });
  }
  void GetReport(TfrmGenerateReport& dialog) {
    dialog.findChild<QPushButton*>("btnGetReport")->click();
  }

  TemporaryHome home_;
  gather::TGetFunctionsClass controller_;
  std::string suggested_, filter_, notice_;
  std::optional<std::string> answer_;
};

TEST_F(ReportDialogTest, AsksWhereToSaveStartingInTheDocumentsAndSaysWhereItWent) {
  TfrmGenerateReport dialog(controller_);
  Prepare(dialog, "selText", false);
  GetReport(dialog);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(suggested_, (home_.root() / "Documents/SysInfo.txt").string());
  EXPECT_NE(filter_.find("*.txt"), std::string::npos);
  EXPECT_EQ(notice_, Saved(".txt").string());
  const std::string text = ReadFile(Saved(".txt"));
  EXPECT_NE(text.find("*** Windows Information ***\n"), std::string::npos) << text;
  EXPECT_NE(text.find(std::string(34, ' ') + "Kernel       6.1\n"), std::string::npos) << text;
  EXPECT_NE(text.find("SN-4711-XYZ"), std::string::npos);

  TfrmGenerateReport json_dialog(controller_);
  Prepare(json_dialog, "selJson", false);
  GetReport(json_dialog);
  EXPECT_EQ(suggested_, (home_.root() / "Documents/SysInfo.json").string());
  EXPECT_NE(ReadFile(Saved(".json")).find("\"format\": \"tavrin-report\""), std::string::npos);
}

TEST_F(ReportDialogTest, CancellingTheSaveDialogWritesNothingAndKeepsTheDialog) {
  answer_ = "";
  TfrmGenerateReport dialog(controller_);
  Prepare(dialog, "selHtml");
  GetReport(dialog);
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(notice_, "");
  EXPECT_FALSE(fs::exists(home_.root() / "out"));
}

TEST_F(ReportDialogTest, HidingSerialsStartsTickedAndRemembersTheLastChoice) {
  {
    TfrmGenerateReport dialog(controller_);
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("chkMask")->isChecked()) << "reports are shared";
    Prepare(dialog, "selText");
    GetReport(dialog);
    const std::string text = ReadFile(Saved(".txt"));
    EXPECT_EQ(text.find("SN-4711-XYZ"), std::string::npos) << text;
    EXPECT_NE(text.find("[masked-"), std::string::npos) << text;
    EXPECT_NE(text.find("Kernel       6.1\n"), std::string::npos) << text;
  }
  {
    TfrmGenerateReport dialog(controller_);
    Prepare(dialog, "selText", false);
    GetReport(dialog);
  }
  TfrmGenerateReport dialog(controller_);
  EXPECT_FALSE(dialog.findChild<QCheckBox*>("chkMask")->isChecked()) << "the last choice";
}

TEST_F(ReportDialogTest, CopyPutsTheReportOnTheClipboard) {
  TfrmGenerateReport dialog(controller_);
  Prepare(dialog, "selText", true);
  dialog.findChild<QPushButton*>("btnCopy")->click();
  const std::string copied = QGuiApplication::clipboard()->text().toStdString();
  EXPECT_NE(copied.find("Kernel       6.1"), std::string::npos) << copied;
  EXPECT_EQ(copied.find("SN-4711-XYZ"), std::string::npos);
}

TEST_F(ReportDialogTest, FailedWriteIsShownWithPathAndReason) {
  // A folder in the way of the report file: the write cannot replace it.
  const fs::path blocked = home_.root() / "blocked.txt";
  fs::create_directories(blocked);
  answer_ = blocked.string();
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
  Prepare(dialog, "selText", false);
  GetReport(dialog);
  poll.stop();
  EXPECT_TRUE(shown.contains(QString::fromStdString(blocked.string()))) << shown.toStdString();
  EXPECT_FALSE(shown.section("\n\n", 1).trimmed().isEmpty()) << "no reason given";
  EXPECT_TRUE(fs::is_directory(blocked));
  EXPECT_EQ(notice_, "");
}

}  // namespace
}  // namespace tavrin::report
