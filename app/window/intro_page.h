// The introduction page: a welcome, shortcuts to the general information and the report,
// and the summary panel with four facts about the machine.
#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QToolButton;

namespace tavrin::window {

/// The summary panel: computer name, operating system, memory and free disk space, as the
/// helper library reports them when the panel is created.
class TfrmPanelsForm : public QWidget {
 public:
  explicit TfrmPanelsForm(QWidget* parent = nullptr);
};

class IntroPage : public QWidget {
 public:
  IntroPage(std::function<void()> openGeneral, std::function<void()> openReport,
            QWidget* parent = nullptr);
  /// Caption of the general information link ("<b>General</b>").
  void SetGeneralCaption(const QString& richText);
  /// The report link and image follow the report action.
  void SetReportEnabled(bool enabled);

 private:
  QLabel* general_link_;
  QLabel* report_link_;
  QToolButton* report_image_;
};

}  // namespace tavrin::window
