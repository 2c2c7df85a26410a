// The report dialog: the user picks the kind of report (HTML, XML, text or JSON) and whether
// serial numbers and names are hidden; "Get Report" asks where to save it, refreshes every
// page, writes it and says where it went; "Copy to Clipboard" puts it on the clipboard.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QRadioButton;

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::report {

enum class ReportKind;

class TfrmGenerateReport : public QDialog {
 public:
  /// Asks for the file to save to, starting with `suggested`; an empty answer cancels.
  using FileChooser =
      std::function<QString(QWidget* owner, const QString& suggested, const QString& filter)>;
  /// Tells the user where the report was saved; the default shows a message box that
  /// offers to open it.
  using SavedNotice = std::function<void(QWidget* owner, const QString& fileName)>;

  explicit TfrmGenerateReport(gather::TGetFunctionsClass& controller, QWidget* parent = nullptr);

  /// The kind the radio buttons choose (HTML at start).
  ReportKind ChosenKind() const;

  /// Replace the save dialog and the notice (tests, or a desktop portal).
  void SetFileChooser(FileChooser chooser) { choose_file_ = std::move(chooser); }
  void SetSavedNotice(SavedNotice notice) { saved_notice_ = std::move(notice); }

  // Handlers of the dialog's controls.
  /// Asks where to save (the documents folder first), gathers afresh behind the progress
  /// window, writes the chosen report there and closes the dialog; a failed write is shown
  /// to the user with the file's path and the reason. Cancelling the question keeps the
  /// dialog open.
  void btnGetReportClick();
  /// Puts the chosen kind of report on the clipboard and closes the dialog.
  void btnCopyClick();
  void btnCloseClick() { reject(); }
  void zuGetInfoClick();

 private:
  QWidget* CreateFooter();
  /// Refreshes every collector and refills the pages, so the report describes the machine
  /// as it is now.
  void GatherAfresh();
  /// Keeps the state of "Hide serial numbers and names" for the next report.
  void RememberMaskChoice() const;

  gather::TGetFunctionsClass& controller_;
  QRadioButton* sel_html_ = nullptr;
  QRadioButton* sel_xml_ = nullptr;
  QRadioButton* sel_text_ = nullptr;
  QRadioButton* sel_json_ = nullptr;
  QCheckBox* mask_ = nullptr;
  FileChooser choose_file_;
  SavedNotice saved_notice_;
};

}  // namespace tavrin::report
