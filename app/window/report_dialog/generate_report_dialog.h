// The report dialog: the user picks the kind of report (HTML, XML or text) and whether
// serial numbers and names are hidden; "Get Report" refreshes every page and writes it.
#pragma once

#include <QDialog>

class QCheckBox;
class QRadioButton;

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::report {

enum class ReportKind;

class TfrmGenerateReport : public QDialog {
 public:
  explicit TfrmGenerateReport(gather::TGetFunctionsClass& controller, QWidget* parent = nullptr);

  /// The kind the radio buttons choose (HTML at start).
  ReportKind ChosenKind() const;

  // Handlers of the dialog's controls.
  /// Gathers afresh behind the progress window, writes the chosen report, and closes the
  /// dialog; a failed write is shown to the user with the file's path and the reason.
  void btnGetReportClick();
  void btnCloseClick() { reject(); }
  void zuGetInfoClick();

 private:
  QWidget* CreateFooter();
  /// Refreshes every collector and refills the pages, so the report describes the machine
  /// as it is now.
  void GatherAfresh();

  gather::TGetFunctionsClass& controller_;
  QRadioButton* sel_html_ = nullptr;
  QRadioButton* sel_xml_ = nullptr;
  QRadioButton* sel_text_ = nullptr;
  QCheckBox* mask_ = nullptr;
};

}  // namespace tavrin::report
