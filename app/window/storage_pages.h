// The drives page and the storage page of the window: a drop-down list of drives (with the
// pie and summary of the chosen one) or of physical devices above the page's list.
#pragma once

#include <QWidget>
#include <string>

class QBoxLayout;
class QComboBox;
class QLabel;

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::window {

class DrivePie;
class SectionListView;

// A page that shows the item chosen in a drop-down list above the page's list; the list is
// redrawn for the chosen item whenever the page is shown or the window redrew it.
class ChoicePage : public QWidget {
 public:
  ChoicePage(gather::TGetFunctionsClass& controller, SectionListView* list, QWidget* parent);
  QComboBox* combo() const { return combo_; }

 protected:
  void showEvent(QShowEvent* event) override;
  /// Names the page, lays it out from the top and puts the caption and the drop-down list
  /// (named `name`) in its first row; returns the page's layout.
  QBoxLayout* AddChoiceRow(const char* pageName, const std::string& caption, const char* name);
  /// Puts the list below everything else and starts following its redraws.
  void AddList(QBoxLayout* layout);
  /// Refills the drop-down list, keeping the choice when it is still offered.
  virtual void BuildList() = 0;
  /// Fills the page for the choice and redraws the list.
  virtual void ShowSelected() = 0;

  gather::TGetFunctionsClass& controller_;
  SectionListView* list_;
  QComboBox* combo_ = nullptr;

 private:
  void Refresh();
};

class DrivesPage : public ChoicePage {
 public:
  DrivesPage(gather::TGetFunctionsClass& controller, SectionListView* list, QWidget* parent);
  DrivePie* pie() const { return pie_; }

 private:
  void BuildList() override;
  void ShowSelected() override;

  DrivePie* pie_;
  QLabel *total_, *used_, *free_, *fileSystem_, *compression_, *encryption_, *perCluster_;
  QLabel* perClusterCaption_;
};

class StoragePage : public ChoicePage {
 public:
  StoragePage(gather::TGetFunctionsClass& controller, SectionListView* list, QWidget* parent);

 private:
  void BuildList() override;
  void ShowSelected() override;
};

QWidget* MakeDrivesPage(gather::TGetFunctionsClass& controller, SectionListView* list,
                        QWidget* parent);
QWidget* MakeStoragePage(gather::TGetFunctionsClass& controller, SectionListView* list,
                         QWidget* parent);

}  // namespace tavrin::window
