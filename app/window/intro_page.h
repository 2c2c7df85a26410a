// The introduction page: a welcome, shortcuts to the general information and the report,
// and the summary panel with four facts about the machine.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

class QLabel;
class QToolButton;

namespace tavrin::collectors {
class TVexa_SystemInfo;
}
namespace tavrin::pages {
struct PageSummary;
}

namespace tavrin::window {

/// The summary panel's four facts as texts; an empty text leaves its value as it is.
struct PanelFacts {
  std::string computer, os, memory, freeSpace;
};

/// The facts the pages show after a gathering: the installed memory in the panel's words, and
/// for a replayed snapshot, which describes another machine, its name, system and free space.
PanelFacts GatheredPanelFacts(const collectors::TVexa_SystemInfo& info,
                              const pages::PageSummary& summary);

/// The summary panel: computer name, operating system, memory and free disk space, as the
/// helper library reports them when the panel is created.
class TfrmPanelsForm : public QWidget {
 public:
  explicit TfrmPanelsForm(QWidget* parent = nullptr);
  /// What the gathering found, in place of what the panel read at its start.
  void Show(const PanelFacts& facts);

 private:
  QLabel *computer_ = nullptr, *os_ = nullptr, *memory_ = nullptr, *free_ = nullptr;
};

class IntroPage : public QWidget {
 public:
  IntroPage(std::function<void()> openGeneral, std::function<void()> openReport,
            QWidget* parent = nullptr);
  /// Caption of the general information link ("<b>General</b>").
  void SetGeneralCaption(const QString& richText);
  /// The report link and image follow the report action.
  void SetReportEnabled(bool enabled);
  TfrmPanelsForm* panel() const { return panel_; }

 private:
  TfrmPanelsForm* panel_ = nullptr;
  QLabel* general_link_;
  QLabel* report_link_;
  QToolButton* report_image_;
};

}  // namespace tavrin::window
